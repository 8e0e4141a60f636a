// The numbered user-visible messages: built-in English texts, replaced by a language file.
#pragma once

#include <array>
#include <string>

#include "listing/product.h"

namespace quillary {

enum MessageId {
    MSG_README = 0,
    MSG_FILES = 1,
    MSG_DIRS = 2,
    MSG_SELECTION_FILTER = 3,
    MSG_CONFIGURATION_FILTER = 4,
    MSG_HTML_FILTER = 5,
    MSG_TEXT_FILTER = 6,
    MSG_CSV_FILTER = 7,
    MSG_LISTING_TITLE = 8,
    MSG_GENERATED_ON = 9,
    MSG_BY = 10,
    // The Preview page of an HTML listing too big to show whole: the rows shown, the rows in the file
    // and the rows left out ("%1", "%2", "%3"), and the button that opens the whole file.
    MSG_PREVIEW_FIRST_ROWS = 11,
    MSG_PREVIEW_OPEN_IN_BROWSER = 12,
    // The window's file dialogs' titles and what its status line says after a run.
    MSG_SAVE_LISTING_TITLE = 13,
    MSG_LOAD_CONFIGURATION_TITLE = 14,
    MSG_SAVE_CONFIGURATION_TITLE = 15,
    MSG_LOAD_SELECTION_TITLE = 16,
    MSG_SAVE_SELECTION_TITLE = 17,
    MSG_RUN_WRITTEN = 18,
    MSG_RUN_CANCELLED = 19,
    MSG_RUN_NOT_WRITTEN = 20,
    MSG_RUN_PROBLEMS = 21,
    MSG_JSONL_FILTER = 22,
    // "File > Compare with a saved listing...": the two file dialogs' titles and what the status line
    // says afterwards: the saved listing ("%1"), the folders and files added, removed and changed
    // ("%2", "%3", "%4") and the report's name ("%5").
    MSG_COMPARE_TITLE = 23,
    MSG_SAVE_REPORT_TITLE = 24,
    MSG_COMPARE_SUMMARY = 25,
    // What the status line says after "Clear checksum cache".
    MSG_CHECKSUM_CACHE_CLEARED = 26,
    MSG_CHECKSUM_CACHE_NOT_CLEARED = 27,
};

inline constexpr int kMessageCount = 28;

class MessageTable {
public:
    // Starts with the built-in English texts, the product name already filled in.
    MessageTable();

    const std::string& Get(int id) const { return m_texts.at(static_cast<std::size_t>(id)); }
    void Set(int id, std::string text) { m_texts.at(static_cast<std::size_t>(id)) = std::move(text); }

    // Puts the product name into the messages that name it: a text without "%ql" gets "%ql " in
    // front, then every "%ql" becomes the product name.
    void ApplyProductName();

private:
    std::array<std::string, kMessageCount> m_texts;
};

} // namespace quillary
