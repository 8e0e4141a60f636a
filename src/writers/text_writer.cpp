#include "writers/text_writer.h"

#include "platform/display_width.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

// Appends text cut to `width` columns, control characters shown as "?"; returns the columns used. Only
// the part that is shown is read, however long the text is (a path can be very long).
std::size_t AppendCut(std::string& out, std::string_view text, std::size_t width) {
    std::size_t used = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t plain = PrintableAsciiPrefix(text.substr(pos), width - used);
        out.append(text.substr(pos, plain));
        pos += plain;
        used += plain;
        if (pos == text.size())
            break;
        const std::size_t start = pos;
        // An invalid byte decodes to its own value, so a stray 0x9B is caught like U+009B.
        const char32_t c = DecodeUtf8(text, pos);
        const bool control = IsControlCharacter(c);
        const auto columns = static_cast<std::size_t>(CharacterWidth(control ? U'?' : c));
        if (used + columns > width)
            break;
        used += columns;
        if (control)
            out += '?';
        else
            out.append(text.substr(start, pos - start));
    }
    return used;
}

void Pad(std::string& out, std::size_t used, std::size_t width) {
    if (used < width)
        out.append(width - used, ' ');
}

// Appends a text that must be read whole (a number) and then the rest of a label, cut so that both
// together fill `width` columns when they can.
void AppendLabel(std::string& out, std::string_view whole, std::string_view rest, unsigned width) {
    const std::string shown = ShowableText(whole);
    const std::size_t wholeWidth = DisplayWidth(shown);
    out += shown;
    const std::size_t used = wholeWidth + AppendCut(out, rest, wholeWidth < width ? width - wholeWidth : 0);
    Pad(out, used, width);
}

} // namespace

namespace {

// The cells after the name, each after a space, in column order.
void AppendCells(std::string& out, const Cells& row) {
    for (const ColumnDef& def : Columns()) {
        const std::optional<std::string>& cell = row[def.column];
        if (!cell || def.layout == CellLayout::InName)
            continue;
        out += ' ';
        switch (def.layout) {
        case CellLayout::Number:
            AppendNumber(out, *cell, row.Width(def.column));
            break;
        case CellLayout::RightAligned:
            AppendRightAligned(out, *cell, row.Width(def.column));
            break;
        default:
            out += ShowableText(*cell);
        }
    }
}

} // namespace

void AppendLeftAligned(std::string& out, std::string_view text, unsigned width) {
    Pad(out, AppendCut(out, text, width), width);
}

void AppendRightAligned(std::string& out, std::string_view text, unsigned width) {
    const std::string shown = ShowableText(text);
    std::size_t used = 0;
    const std::string_view kept = DisplayPrefix(shown, width, used);
    Pad(out, DisplayWidth(shown), width);
    out += kept;
}

void AppendNumber(std::string& out, std::string_view text, unsigned width) {
    const std::string shown = ShowableText(text);
    Pad(out, DisplayWidth(shown), width);
    out += shown;
}

void TextWriter::FormatHeader(const ColumnSet&, std::string& out) {
    const MessageTable& messages = *Context().messages;
    out += "# ";
    out += ShowableText(messages.Get(MSG_GENERATED_ON));
    out += ' ';
    out += Context().timeStamp;
    out += ' ';
    out += ShowableText(messages.Get(MSG_BY));
    out += ' ';
    out += kProductName;
    out += ' ';
    out += kVersionText;
    out += '\n';
}

void TextWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    std::string line;
    const std::string& path = row[Column::Name] ? *row[Column::Name] : std::string();
    const unsigned pathWidth = row.Width(Column::Name);
    if (row[Column::Count]) {
        // The path gives way to its count, which is never cut.
        const std::string count = " (" + *row[Column::Count] + ")";
        std::string cutPath;
        const std::size_t countWidth = DisplayWidth(ShowableText(count));
        const std::size_t used =
            AppendCut(cutPath, path, countWidth < pathWidth ? pathWidth - countWidth : 0);
        line += cutPath;
        line += ShowableText(count);
        Pad(line, used + countWidth, pathWidth);
    } else {
        AppendLeftAligned(line, path, pathWidth);
    }
    AppendCells(line, row);
    if (!Context().filesListed) {
        out += line;
        return;
    }
    const std::string rule(DisplayWidth(line), '-');
    out += rule;
    out += '\n';
    out += line;
    out += '\n';
    out += rule;
}

void TextWriter::FormatFileRow(const FileRow& row, std::string& out) {
    // The file number is never cut; the path and name after it are.
    std::string label;
    if (row.isDirectory)
        label += '<';
    if (row[Column::Path])
        label += *row[Column::Path];
    if (row[Column::Name])
        label += *row[Column::Name];
    if (row[Column::Extension]) {
        label += '.';
        label += *row[Column::Extension];
    }
    if (row.isDirectory)
        label += '>';
    const auto& number = row[Column::Number];
    AppendLabel(out, number ? std::string_view(*number) : std::string_view(), label, row.Width(Column::Name));
    AppendCells(out, row);
}

void TextWriter::FormatFooter(std::string&) {}

} // namespace quillary
