// INI ("profile") files, as the settings, configuration and language files use them.
//
// Reading: section and key names are compared without regard to case and with surrounding blanks
// removed. A value is trimmed, loses one pair of matching surrounding quotes (" or ') and is cut to
// kMaxValueBytes (the readers work with a 1024-byte buffer). Of two equal keys the first wins, and only
// the first copy of a repeated section counts. Lines starting with ";" are comments; a line without
// "=" holds no key. Lines may end in LF or CR LF.
//
// Writing changes the key's line in place (keeping the key's spelling), adds a new key after the last
// key of its section, appends a new section at the end and leaves every other line as it was. Files
// are written with LF line ends and in UTF-8; a file read as Windows-1252 is written back in UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillary {

class ProfileFile {
public:
    static constexpr std::size_t kMaxValueBytes = 1023;

    // Reads the file. False when it cannot be read (missing, a directory, not a regular file, larger
    // than 64 MB); the profile is then empty.
    bool Load(const std::string& path);

    // Takes the contents of a file: UTF-8, or Windows-1252 when it is not valid UTF-8.
    void Parse(std::string_view bytes);

    // The value of a key, or nullopt when the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value of a key, or "" when it is missing.
    std::string Get(std::string_view section, std::string_view key) const;

    // Sets a key. A value is written up to its first line break; a value that starts or ends with a
    // blank, or is wrapped in matching quotes, is written inside double quotes so that it reads back
    // unchanged.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The file's contents as Save writes them.
    std::string Text() const;
    // Creates or replaces the file; false when it cannot be written.
    bool Save(const std::string& path) const;

private:
    // Where the keys of the first copy of each section are: folded key name -> line number.
    using KeyIndex = std::unordered_map<std::string, std::size_t>;
    using SectionIndex = std::unordered_map<std::string, KeyIndex>;

    const SectionIndex& Index() const;

    std::vector<std::string> m_lines;
    bool m_byteOrderMark = false;
    mutable std::optional<SectionIndex> m_index; // built on the first read after a change
};

} // namespace quillary
