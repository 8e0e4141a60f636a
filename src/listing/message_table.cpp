#include "listing/message_table.h"

namespace quillary {

namespace {

const char* const kBuiltInMessages[kMessageCount] = {
    "Readme.html",
    "Files",
    "Dirs",
    "%ql selection files (*.qls)|*.qls|All files (*.*)|*.*",
    "%ql configuration files (*.qlc)|*.qlc|All files (*.*)|*.*",
    "HTML files (*.html)|*.html|All files (*.*)|*.*",
    "Text files (*.txt)|*.txt|All files (*.*)|*.*",
    "CSV files (*.csv)|*.csv|All files (*.*)|*.*",
    "%ql listing",
    "Generated on",
    "by",
    "The preview shows the first %1 of %2 rows; the file holds %3 more.",
    "Open the whole listing in the browser",
    "Save listing",
    "Load configuration",
    "Save configuration",
    "Load dirs selection",
    "Save dirs selection",
    "Listing written",
    "Listing cancelled",
    "Listing not written",
    "Problems",
    "JSON Lines files (*.jsonl)|*.jsonl|All files (*.*)|*.*",
    "Compare with a saved listing",
    "Save comparison report",
    "Compared with %1: %2 added, %3 removed, %4 changed; report %5",
    "Checksum cache cleared",
    "Checksum cache not cleared",
};

void ApplyProductNameTo(std::string& text) {
    const std::string placeholder = "%ql";
    if (text.find(placeholder) == std::string::npos)
        text = placeholder + " " + text;
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + 1)) {
        text.replace(at, placeholder.size(), kProductName);
    }
}

} // namespace

MessageTable::MessageTable() {
    for (int id = 0; id < kMessageCount; ++id)
        m_texts[static_cast<std::size_t>(id)] = kBuiltInMessages[id];
    ApplyProductName();
}

void MessageTable::ApplyProductName() {
    for (int id : {MSG_CONFIGURATION_FILTER, MSG_SELECTION_FILTER, MSG_LISTING_TITLE})
        ApplyProductNameTo(m_texts[static_cast<std::size_t>(id)]);
}

} // namespace quillary
