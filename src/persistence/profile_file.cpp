#include "persistence/profile_file.h"

#include "platform/case_fold.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool HasSurroundingQuotes(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.front() == text.back();
}

// Names compare by their case-folded form.
std::string FoldName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();)
        AppendUtf8(folded, FoldCodePoint(DecodeUtf8(name, pos)));
    return folded;
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed, quotes still on
};

ParsedLine ParseLine(std::string_view line) {
    const std::string_view text = Trim(line);
    ParsedLine parsed;
    if (text.empty() || text.front() == ';')
        return parsed;
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(text.substr(1, close - 1));
        }
        return parsed;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(text.substr(0, equals));
    parsed.value = Trim(text.substr(equals + 1));
    return parsed;
}

std::string EncodeValue(std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    const bool needsQuotes =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || HasSurroundingQuotes(value));
    if (needsQuotes)
        return std::string("\"").append(value).append("\"");
    return std::string(value);
}

} // namespace

bool ProfileFile::Load(const std::string& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        Parse({});
        return false;
    }
    Parse(contents);
    return true;
}

void ProfileFile::Parse(std::string_view bytes) {
    m_lines.clear();
    m_index.reset();
    m_byteOrderMark = bytes.starts_with(kByteOrderMark);
    const std::string text = DecodeProgramFileText(bytes);
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
}

const ProfileFile::SectionIndex& ProfileFile::Index() const {
    if (m_index)
        return *m_index;
    m_index.emplace();
    KeyIndex* current = nullptr; // null outside a section and inside a repeated one
    for (std::size_t number = 0; number < m_lines.size(); ++number) {
        const ParsedLine line = ParseLine(m_lines[number]);
        if (line.kind == LineKind::Section) {
            const auto [it, inserted] = m_index->try_emplace(FoldName(line.name));
            current = inserted ? &it->second : nullptr;
        } else if (line.kind == LineKind::Key && current != nullptr) {
            current->try_emplace(FoldName(line.name), number);
        }
    }
    return *m_index;
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
    const SectionIndex& index = Index();
    const auto sectionIt = index.find(FoldName(Trim(section)));
    if (sectionIt == index.end())
        return std::nullopt;
    const auto keyIt = sectionIt->second.find(FoldName(Trim(key)));
    if (keyIt == sectionIt->second.end())
        return std::nullopt;
    std::string_view value = ParseLine(m_lines[keyIt->second]).value;
    if (HasSurroundingQuotes(value))
        value = value.substr(1, value.size() - 2);
    return std::string(Utf8CutToBytes(value, kMaxValueBytes));
}

std::string ProfileFile::Get(std::string_view section, std::string_view key) const {
    return Find(section, key).value_or(std::string());
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    m_index.reset();
    const std::string wantedSection = FoldName(Trim(section));
    const std::string wantedKey = FoldName(Trim(key));
    const std::string encoded = EncodeValue(value);

    std::size_t number = 0;
    while (number < m_lines.size()) {
        const ParsedLine line = ParseLine(m_lines[number]);
        if (line.kind == LineKind::Section && FoldName(line.name) == wantedSection)
            break;
        ++number;
    }
    if (number == m_lines.size()) {
        if (!m_lines.empty() && !Trim(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back(std::string("[").append(Trim(section)).append("]"));
        m_lines.push_back(std::string(Trim(key)) + "=" + encoded);
        return;
    }

    std::size_t insertAfter = number; // the header, or the section's last key
    for (++number; number < m_lines.size(); ++number) {
        const ParsedLine line = ParseLine(m_lines[number]);
        if (line.kind == LineKind::Section)
            break;
        if (line.kind != LineKind::Key)
            continue;
        if (FoldName(line.name) == wantedKey) {
            m_lines[number] = std::string(line.name) + "=" + encoded;
            return;
        }
        insertAfter = number;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAfter + 1),
                   std::string(Trim(key)) + "=" + encoded);
}

std::string ProfileFile::Text() const {
    std::string text = m_byteOrderMark ? std::string(kByteOrderMark) : std::string();
    for (const std::string& line : m_lines) {
        text += line;
        text += '\n';
    }
    return text;
}

bool ProfileFile::Save(const std::string& path) const {
    OutputFile file;
    if (path == "-" || !file.Open(path))
        return false;
    file.Write(Text());
    return file.Close();
}

} // namespace quillary
