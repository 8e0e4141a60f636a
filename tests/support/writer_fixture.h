// A test fixture for one listing writer: the run's options, messages and columns, and each format call
// on a fresh writer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "writers/listing_writer.h"

namespace quillary::test {

template <typename Writer> class WriterFixture : public ::testing::Test {
protected:
    WriterFixture() {
        context.options = &options;
        context.messages = &messages;
        context.columns = &columns;
        context.timeStamp = "2004-05-06 07:08:09";
        context.charsetName = "utf-8";
    }
    std::string Header() {
        Writer writer(context);
        std::string out;
        writer.FormatHeader(columns, out);
        return out;
    }
    std::string Dir(const DirectoryRow& row) {
        Writer writer(context);
        std::string out;
        writer.FormatDirectoryRow(row, out);
        return out;
    }
    std::string File(const FileRow& row) {
        Writer writer(context);
        std::string out;
        writer.FormatFileRow(row, out);
        return out;
    }
    std::string Footer() {
        Writer writer(context);
        std::string out;
        writer.FormatFooter(out);
        return out;
    }

    ListingOptions options;
    MessageTable messages;
    ColumnSet columns;
    WriterContext context;
};

} // namespace quillary::test
