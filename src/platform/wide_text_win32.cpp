#include "platform/wide_text.h"

#include <windows.h>

#include "platform/path_syntax.h"

namespace quillary {

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

std::wstring SystemPath(std::string_view path) {
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0)
        return wide; // already in the system's own form
    if (wide.size() >= 2 && wide[0] == L'\\' && wide[1] == L'\\')
        return L"\\\\?\\UNC\\" + wide.substr(2);
    if (kWindowsPaths.IsAbsolute(path)) {
        // "\\?\" paths are not normalised by the system: "." and ".." must not be in them.
        if (wide.find(L"\\.\\") == std::wstring::npos && wide.find(L"\\..\\") == std::wstring::npos &&
            !(wide.size() >= 2 && wide.compare(wide.size() - 2, 2, L"\\.") == 0) &&
            !(wide.size() >= 3 && wide.compare(wide.size() - 3, 3, L"\\..") == 0))
            return L"\\\\?\\" + wide;
    }
    if (wide.size() == 2 && wide[1] == L':')
        return wide + L"\\"; // "c:" alone names the drive's current folder; its root is meant
    return wide;
}

} // namespace quillary
