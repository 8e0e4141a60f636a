#include "writers/text_writer.h"

#include "platform/display_width.h"
#include "platform/utf8.h"

namespace quillary {

namespace {

// Appends text cut to `width` columns, control characters shown as "?"; returns the columns used.
std::size_t AppendCut(std::string& out, std::string_view text, std::size_t width) {
    std::size_t used = 0;
    out += DisplayPrefix(ShowableText(text), width, used);
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
    if (row.count) {
        // The path gives way to its count, which is never cut.
        const std::string count = " (" + *row.count + ")";
        std::string cutPath;
        const std::size_t countWidth = DisplayWidth(ShowableText(count));
        const std::size_t used =
            AppendCut(cutPath, row.path, countWidth < row.pathWidth ? row.pathWidth - countWidth : 0);
        line += cutPath;
        line += ShowableText(count);
        Pad(line, used + countWidth, row.pathWidth);
    } else {
        AppendLeftAligned(line, row.path, row.pathWidth);
    }
    if (row.size) {
        line += ' ';
        AppendNumber(line, *row.size, row.sizeWidth);
    }
    for (const auto* field : {&row.date, &row.time, &row.attributes}) {
        if (*field) {
            line += ' ';
            line += ShowableText(**field);
        }
    }
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
    if (row.pathPrefix)
        label += *row.pathPrefix;
    label += row.name;
    if (row.extension) {
        label += '.';
        label += *row.extension;
    }
    if (row.isDirectory)
        label += '>';
    AppendLabel(out, row.number ? std::string_view(*row.number) : std::string_view(), label, row.nameWidth);
    if (row.size) {
        out += ' ';
        AppendNumber(out, *row.size, row.sizeWidth);
    }
    for (const auto* field : {&row.date, &row.time}) {
        if (*field) {
            out += ' ';
            out += ShowableText(**field);
        }
    }
    if (row.version) {
        out += ' ';
        AppendRightAligned(out, *row.version, row.versionWidth);
    }
    for (const auto* field : {&row.crc, &row.attributes}) {
        if (*field) {
            out += ' ';
            out += ShowableText(**field);
        }
    }
}

void TextWriter::FormatFooter(std::string&) {}

} // namespace quillary
