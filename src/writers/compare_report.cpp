#include "writers/compare_report.h"

#include "listing/product.h"
#include "platform/utf8.h"
#include "writers/csv_writer.h"
#include "writers/html_writer.h"
#include "writers/json_text.h"
#include "writers/text_writer.h"

namespace quillary {

namespace {

const char* KindWord(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Added:
        return "added";
    case ChangeKind::Removed:
        return "removed";
    case ChangeKind::Changed:
        break;
    }
    return "changed";
}

// What changed of a matched entry: "size, modified, checksum".
std::string WhatChanged(const ListingChange& change) {
    std::string what;
    for (const auto& [changed, word] :
         {std::pair{change.sizeChanged, "size"}, std::pair{change.timeChanged, "modified"},
          std::pair{change.crcChanged, "checksum"}}) {
        if (!changed)
            continue;
        if (!what.empty())
            what += ", ";
        what += word;
    }
    return what;
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string CountsText(const ChangeCounts& counts) {
    return Counted(counts.folders, "folder", "folders") + ", " + Counted(counts.files, "file", "files");
}

void AppendJsonOrigin(std::string& out, std::string_view key, const ListingOrigin& origin) {
    AppendJsonKey(out, key);
    out += '{';
    AppendJsonField(out, "path", origin.path);
    out += ",\"time\":";
    AppendJsonString(out, origin.time);
    out += '}';
}

void AppendJsonCounts(std::string& out, std::string_view key, const ChangeCounts& counts) {
    AppendJsonKey(out, key);
    out +=
        "{\"folders\":" + std::to_string(counts.folders) + ",\"files\":" + std::to_string(counts.files) + "}";
}

} // namespace

std::string SizeDifference(std::uint64_t before, std::uint64_t after) {
    if (after == before)
        return "0";
    return after > before ? std::string("+").append(std::to_string(after - before))
                          : std::string("-").append(std::to_string(before - after));
}

CompareReport::CompareReport(OutputType type, std::string_view csvSeparator, Write write)
    : m_type(type), m_separator(CsvSeparator(csvSeparator)), m_write(std::move(write)) {}

void CompareReport::Line(std::string& text) {
    text += '\n';
    m_write(text);
}

void CompareReport::Begin(const ListingOrigin& before, const ListingOrigin& after) {
    std::string text;
    switch (m_type) {
    case OutputType::Text:
        text = std::string(kProductName) + " comparison\nBefore: " + ShowableText(before.path) + " (" +
               before.time + ")\nAfter:  " + ShowableText(after.path) + " (" + after.time + ")\n";
        break;
    case OutputType::Csv: {
        bool first = true;
        for (const char* name : {"CHANGE", "TYPE", "PATH", "OLD SIZE", "NEW SIZE", "SIZE DIFFERENCE",
                                 "OLD MODIFIED", "NEW MODIFIED", "WHAT"}) {
            if (!first)
                text += m_separator;
            first = false;
            text += name;
        }
        break;
    }
    case OutputType::JsonLines:
        text = "{\"type\":\"comparison\",\"program\":\"quillary\",\"version\":";
        AppendJsonString(text, kVersionText);
        text += ",\"format\":1";
        AppendJsonOrigin(text, "before", before);
        AppendJsonOrigin(text, "after", after);
        text += '}';
        break;
    case OutputType::Html:
    case OutputType::BrowsableHtml: // a report has no folder tree: the HTML table
        text = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
        text += kProductName;
        text += " comparison</title>\n<style>body{font-family:sans-serif}table{border-collapse:collapse}"
                "td,th{padding:2px 8px;text-align:left}td.n{text-align:right}tr.e{background:#eef}</style>"
                "</head><body>\n<h1>";
        text += kProductName;
        text += " comparison</h1>\n<p>Before: ";
        AppendHtmlEscaped(text, before.path);
        text += " (";
        AppendHtmlEscaped(text, before.time);
        text += ")<br>After: ";
        AppendHtmlEscaped(text, after.path);
        text += " (";
        AppendHtmlEscaped(text, after.time);
        text +=
            ")</p>\n<table>\n<tr><th>Change</th><th>Type</th><th>Path</th><th>Old size</th><th>New size</th>"
            "<th>Difference</th><th>Old modified</th><th>New modified</th><th>What</th></tr>";
        break;
    }
    Line(text);
}

void CompareReport::Change(const ListingChange& change) {
    const ListedEntry& entry = change.Entry();
    const std::uint64_t oldSize = change.before != nullptr ? change.before->size : 0;
    const std::uint64_t newSize = change.after != nullptr ? change.after->size : 0;
    const std::string oldSizeText = change.before != nullptr ? std::to_string(oldSize) : std::string();
    const std::string newSizeText = change.after != nullptr ? std::to_string(newSize) : std::string();
    const std::string oldTime = change.before != nullptr ? change.before->modified : std::string();
    const std::string newTime = change.after != nullptr ? change.after->modified : std::string();
    const std::string difference = SizeDifference(oldSize, newSize);
    const std::string what = WhatChanged(change);
    const char* type = entry.folder ? "folder" : "file";
    std::string text;
    switch (m_type) {
    case OutputType::Text:
        text = std::string(KindWord(change.kind)) + (change.kind == ChangeKind::Added ? "   " : " ") + type +
               (entry.folder ? " " : "   ");
        AppendRightAligned(text, difference, 14);
        text += "  " + ShowableText(entry.path);
        if (change.kind == ChangeKind::Changed)
            text += "  (" + what + ")";
        break;
    case OutputType::Csv: {
        bool first = true;
        for (const std::string_view value :
             {std::string_view(KindWord(change.kind)), std::string_view(type), std::string_view(entry.path),
              std::string_view(oldSizeText), std::string_view(newSizeText), std::string_view(difference),
              std::string_view(oldTime), std::string_view(newTime), std::string_view(what)}) {
            if (!first)
                text += m_separator;
            first = false;
            AppendCsvValue(text, value, m_separator);
        }
        break;
    }
    case OutputType::JsonLines:
        text = "{\"type\":\"change\",\"change\":\"";
        text += KindWord(change.kind);
        text += "\",\"entry\":\"";
        text += type;
        text += "\",";
        AppendJsonField(text, "path", entry.path);
        if (change.before != nullptr)
            text += ",\"oldSize\":" + oldSizeText +
                    ",\"oldModified\":" + (oldTime.empty() ? "null" : "\"" + oldTime + "\"");
        if (change.after != nullptr)
            text += ",\"newSize\":" + newSizeText +
                    ",\"newModified\":" + (newTime.empty() ? "null" : "\"" + newTime + "\"");
        text += ",\"sizeDifference\":" + (difference[0] == '+' ? difference.substr(1) : difference);
        if (change.kind == ChangeKind::Changed) {
            text += std::string(",\"sizeChanged\":") + (change.sizeChanged ? "true" : "false");
            text += std::string(",\"modifiedChanged\":") + (change.timeChanged ? "true" : "false");
            text += std::string(",\"checksumChanged\":") + (change.crcChanged ? "true" : "false");
        }
        text += '}';
        break;
    case OutputType::Html:
    case OutputType::BrowsableHtml: // a report has no folder tree: the HTML table
        text = m_even ? "<tr class=\"e\"><td>" : "<tr><td>";
        m_even = !m_even;
        text += KindWord(change.kind);
        text += "</td><td>";
        text += type;
        text += "</td><td>";
        AppendHtmlEscaped(text, entry.path);
        text += "</td><td class=\"n\">" + oldSizeText + "</td><td class=\"n\">" + newSizeText +
                "</td><td class=\"n\">" + difference + "</td><td>";
        AppendHtmlEscaped(text, oldTime);
        text += "</td><td>";
        AppendHtmlEscaped(text, newTime);
        text += "</td><td>" + what + "</td></tr>";
        break;
    }
    Line(text);
}

void CompareReport::End(const CompareTotals& totals) {
    const std::string bytes = std::to_string(totals.bytesBefore) + " -> " +
                              std::to_string(totals.bytesAfter) + " bytes (" +
                              SizeDifference(totals.bytesBefore, totals.bytesAfter) + ")";
    const std::pair<const char*, const ChangeCounts*> kinds[] = {{"added", &totals.added},
                                                                 {"removed", &totals.removed},
                                                                 {"changed", &totals.changed},
                                                                 {"unchanged", &totals.unchanged}};
    std::string text;
    switch (m_type) {
    case OutputType::Text:
        text = "\n";
        for (const auto& [word, counts] : kinds)
            text += std::string(word) + ": " + CountsText(*counts) + "\n";
        text += "Size of the files: " + bytes;
        break;
    case OutputType::Csv:
        for (const auto& [word, counts] : kinds) {
            text += std::string(word) + m_separator + "total" + m_separator + m_separator + m_separator +
                    m_separator + m_separator + m_separator + m_separator;
            AppendCsvValue(text, CountsText(*counts), m_separator);
            text += '\n';
        }
        text += "size" + m_separator + "total" + m_separator + m_separator +
                std::to_string(totals.bytesBefore) + m_separator + std::to_string(totals.bytesAfter) +
                m_separator + SizeDifference(totals.bytesBefore, totals.bytesAfter) + m_separator +
                m_separator + m_separator;
        break;
    case OutputType::JsonLines:
        text = "{\"type\":\"summary\"";
        for (const auto& [word, counts] : kinds)
            AppendJsonCounts(text, word, *counts);
        text += ",\"bytesBefore\":" + std::to_string(totals.bytesBefore) +
                ",\"bytesAfter\":" + std::to_string(totals.bytesAfter) +
                ",\"changed\":" + (totals.AnyChange() ? "true" : "false") + "}";
        break;
    case OutputType::Html:
    case OutputType::BrowsableHtml: // a report has no folder tree: the HTML table
        text = "</table>\n<p>";
        for (const auto& [word, counts] : kinds)
            text += std::string(word) + ": " + CountsText(*counts) + "<br>";
        text += "Size of the files: " + bytes + "</p>\n</body></html>";
        break;
    }
    Line(text);
}

} // namespace quillary
