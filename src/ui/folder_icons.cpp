#include "ui/folder_icons.h"

#include <wx/artprov.h>

#ifdef __WXMSW__
#include <string>

#include <wx/icon.h>
#include <wx/msw/wrapwin.h>

#include <shellapi.h>
#endif

namespace quillary {

namespace {

#ifdef __WXMSW__
// The shell's small icon of `path`; with `asFolder` the icon of any folder of that kind, whether or not
// it exists. Empty when the shell has none.
wxBitmapBundle ShellIcon(const wchar_t* path, bool asFolder, UINT flags) {
    SHFILEINFOW info{};
    flags |= SHGFI_ICON | SHGFI_SMALLICON | (asFolder ? SHGFI_USEFILEATTRIBUTES : 0);
    if (SHGetFileInfoW(path, asFolder ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof info, flags) == 0 ||
        info.hIcon == nullptr)
        return {};
    wxIcon icon;
    icon.CreateFromHICON(info.hIcon); // the icon owns the handle from here on
    wxBitmap bitmap;
    bitmap.CopyFromIcon(icon);
    return wxBitmapBundle::FromBitmap(bitmap);
}

// The system drive's root, where Windows itself is ("C:\").
std::wstring SystemDriveRoot() {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return length >= 2 && length < MAX_PATH ? std::wstring(folder, 2) + L"\\" : L"C:\\";
}
#endif

} // namespace

wxWithImages::Images FolderIcons(const wxSize& size) {
    wxWithImages::Images icons;
    for (const char* art : {wxART_FOLDER, wxART_FOLDER_OPEN, wxART_HARDDISK})
        icons.push_back(wxArtProvider::GetBitmapBundle(art, wxART_OTHER, size));
#ifdef __WXMSW__
    // The shell's icons where it gives them: the stock icons above are not always the ones Explorer
    // shows (and some Windows versions and Wine have none for folders).
    const wxBitmapBundle shell[] = {ShellIcon(L"folder", true, 0), ShellIcon(L"folder", true, SHGFI_OPENICON),
                                    ShellIcon(SystemDriveRoot().c_str(), false, 0)};
    for (std::size_t i = 0; i < icons.size(); ++i) {
        if (shell[i].IsOk())
            icons[i] = shell[i];
    }
#endif
    return icons;
}

} // namespace quillary
