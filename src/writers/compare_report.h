// The report of a comparison of two listings, in any output type: the changed folders and files with
// their sizes, times and size difference, then the totals per kind of change. Like the listing
// writers it touches no file: each piece of text goes to the caller's `write`.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "listing/listing_changes.h"
#include "listing/output_type.h"

namespace quillary {

class CompareReport : public ChangeSink {
public:
    using Write = std::function<void(std::string_view)>;
    // `csvSeparator` is the CSV separator option (CsvSeparator settles it).
    CompareReport(OutputType type, std::string_view csvSeparator, Write write);

    void Begin(const ListingOrigin& before, const ListingOrigin& after) override;
    void Change(const ListingChange& change) override;
    void End(const CompareTotals& totals) override;

private:
    void Line(std::string& text); // adds the line end and writes

    OutputType m_type;
    std::string m_separator;
    Write m_write;
    bool m_even = false; // HTML rows alternate
};

// "+12", "-3" or "0": the second size less the first, never overflowing.
std::string SizeDifference(std::uint64_t before, std::uint64_t after);

} // namespace quillary
