#include "writers/text_writer.h"

#include "platform/utf8.h"

namespace quillary {

namespace {

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

void AppendPrintable(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out += text;
    for (std::size_t i = start; i < out.size(); ++i) {
        if (IsControl(out[i]))
            out[i] = '?';
    }
}

// Appends at most `width` characters of text; returns how many were appended.
std::size_t AppendCut(std::string& out, std::string_view text, unsigned width) {
    const std::string_view kept = Utf8Prefix(text, width);
    AppendPrintable(out, kept);
    return kept.size() == text.size() ? Utf8Length(kept) : width;
}

} // namespace

void AppendLeftAligned(std::string& out, std::string_view text, unsigned width) {
    const std::size_t used = AppendCut(out, text, width);
    out.append(width - used, ' ');
}

void AppendRightAligned(std::string& out, std::string_view text, unsigned width) {
    const std::size_t length = Utf8Length(text);
    if (length < width)
        out.append(width - length, ' ');
    AppendCut(out, text, width);
}

void TextWriter::FormatHeader(const ColumnSet&, std::string& out) {
    const MessageTable& messages = *Context().messages;
    out += "# ";
    out += messages.Get(MSG_GENERATED_ON);
    out += ' ';
    out += Context().timeStamp;
    out += ' ';
    out += messages.Get(MSG_BY);
    out += ' ';
    out += kProductName;
    out += ' ';
    out += kVersionText;
    out += '\n';
}

void TextWriter::FormatDirectoryRow(const DirectoryRow& row, std::string& out) {
    std::string line;
    if (row.count)
        AppendLeftAligned(line, row.path + " (" + *row.count + ")", row.pathWidth);
    else
        AppendLeftAligned(line, row.path, row.pathWidth);
    if (row.size) {
        line += ' ';
        AppendRightAligned(line, *row.size, row.sizeWidth);
    }
    for (const auto* field : {&row.date, &row.time, &row.attributes}) {
        if (*field) {
            line += ' ';
            AppendPrintable(line, **field);
        }
    }
    if (!Context().filesListed) {
        out += line;
        return;
    }
    const std::string rule(Utf8Length(line), '-');
    out += rule;
    out += '\n';
    out += line;
    out += '\n';
    out += rule;
}

void TextWriter::FormatFileRow(const FileRow& row, std::string& out) {
    std::string label;
    if (row.isDirectory)
        label += '<';
    if (row.number)
        label += *row.number;
    if (row.pathPrefix)
        label += *row.pathPrefix;
    label += row.name;
    if (row.extension) {
        label += '.';
        label += *row.extension;
    }
    if (row.isDirectory)
        label += '>';
    AppendLeftAligned(out, label, row.nameWidth);
    if (row.size) {
        out += ' ';
        AppendRightAligned(out, *row.size, row.sizeWidth);
    }
    for (const auto* field : {&row.date, &row.time}) {
        if (*field) {
            out += ' ';
            AppendPrintable(out, **field);
        }
    }
    if (row.version) {
        out += ' ';
        AppendRightAligned(out, *row.version, row.versionWidth);
    }
    for (const auto* field : {&row.crc, &row.attributes}) {
        if (*field) {
            out += ' ';
            AppendPrintable(out, **field);
        }
    }
}

void TextWriter::FormatFooter(std::string&) {}

} // namespace quillary
