#include "platform/path_syntax.h"

#include <algorithm>

namespace quillary {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsWithDrive(std::string_view path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

} // namespace

bool PathSyntax::IsRootKey(std::string_view key) const {
    if (!driveLetters)
        return key.empty();
    return key.size() == 2 && StartsWithDrive(key);
}

std::string PathSyntax::RootKeyFromText(std::string_view text) const {
    if (!driveLetters)
        return std::string();
    if (!StartsWithDrive(text))
        return std::string();
    const char letter = static_cast<char>(text[0] | 0x20); // lower case
    return std::string{letter, ':'};
}

std::size_t PathSyntax::DrivePartLength(std::string_view path) const {
    return driveLetters && StartsWithDrive(path) ? 2 : 0;
}

std::size_t PathSyntax::NetworkRootLength(std::string_view path) const {
    if (!driveLetters || path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1]) ||
        IsSeparator(path[2]))
        return 0;
    // "\\server\share": the server name, a separator and a share name, both non-empty.
    const std::size_t serverEnd = std::min(FindSeparator(path, 2), path.size());
    const std::string_view server = path.substr(2, serverEnd - 2);
    if (server == "?" || server == ".")
        return 0; // "\\?\" and "\\.\" start long paths and devices, not shares
    const std::size_t shareStart = serverEnd + 1;
    if (shareStart >= path.size() || IsSeparator(path[shareStart]))
        return 0;
    return std::min(FindSeparator(path, shareStart), path.size());
}

bool PathSyntax::IsAbsolute(std::string_view path) const {
    if (!driveLetters)
        return !path.empty() && path[0] == '/';
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return true; // a network path
    return path.size() >= 3 && StartsWithDrive(path) && IsSeparator(path[2]);
}

std::size_t PathSyntax::FindSeparator(std::string_view path, std::size_t from) const {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (IsSeparator(path[i]))
            return i;
    }
    return std::string_view::npos;
}

std::size_t PathSyntax::FindLastSeparator(std::string_view path) const {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1]))
            return i - 1;
    }
    return std::string_view::npos;
}

std::string PathSyntax::Showable(const std::string& key) const {
    return key.empty() && !driveLetters ? std::string(1, separator) : key;
}

std::size_t PathSyntax::ExtensionStart(std::string_view name) const {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (dot == 0 && leadingDotIsHidden))
        return std::string_view::npos;
    return dot + 1;
}

namespace {

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 in any case, before any extension (and the spaces
// in front of it, which the system ignores).
bool IsWindowsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

} // namespace

bool PathSyntax::CanNameFile(std::string_view name) const {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (c == '\0' || IsSeparator(c))
            return false;
        if (driveLetters && (static_cast<unsigned char>(c) < 0x20 ||
                             std::string_view("<>:\"|?*").find(c) != std::string_view::npos))
            return false;
    }
    if (!driveLetters)
        return true;
    return name.back() != '.' && name.back() != ' ' && !IsWindowsDeviceName(name);
}

bool PathSyntax::NamesOnlyFolder(std::string_view path) const {
    if (path.empty() || (driveLetters && DrivePartLength(path) == path.size()))
        return true;
    const std::size_t slash = FindLastSeparator(path);
    const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return last.empty() || last == "." || last == "..";
}

} // namespace quillary
