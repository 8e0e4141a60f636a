// The output-type table: every type has a radio button, extensions, a filter text and a writer of its
// own, and the rules that walk the table (the radio buttons, the output name) find each row.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "model/form_state.h"
#include "model/options_rules.h"
#include "res/controls.h"
#include "writers/output_types.h"

namespace quillary {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

TEST(OutputTypeTableTest, EveryTypeHasItsOwnControlsExtensionsAndWriter) {
    std::set<int> radios, filters;
    std::set<std::string_view> extensions;
    std::set<std::string> headers;
    const ListingOptions options;
    const MessageTable messages;
    const ColumnSet columns;
    WriterContext context;
    context.options = &options;
    context.messages = &messages;
    context.columns = &columns;
    for (const OutputTypeDef& type : OutputTypes()) {
        SCOPED_TRACE(std::string(type.extension));
        EXPECT_EQ(&OutputTypeRow(type.type), &type);
        const ControlDef* radio = FindControl(type.radioId);
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->kind, ControlKind::RadioButton);
        EXPECT_EQ(radio->dialog, kOptions2Page);
        EXPECT_TRUE(radios.insert(type.radioId).second);
        // A type that shares its extension with another (chosen by --type, not by the name) shares
        // its file-dialog filter too.
        if (type.chosenByExtension) {
            EXPECT_TRUE(filters.insert(type.filterMessage).second);
        }
        EXPECT_NE(messages.Get(type.filterMessage).find("*." + std::string(type.extension)),
                  std::string::npos);
        EXPECT_EQ(OutputTypeNamed(type.name), type.type);
        EXPECT_EQ(OutputTypeNamed(Upper(type.name)), type.type);

        // Its radio button chooses it, and so does an output name with any of its extensions.
        FormState form;
        form.SetCheckState(type.radioId, 1);
        EXPECT_EQ(SelectedOutputType(form), type.type);
        EXPECT_EQ(ReadOptions(form).m_outputType, type.type);
        for (std::string_view extension : {type.extension, type.otherExtension}) {
            if (extension.empty() || !type.chosenByExtension)
                continue;
            EXPECT_TRUE(extensions.insert(extension).second);
            EXPECT_EQ(OutputTypeFromName("/x/list." + std::string(extension)), type.type);
            EXPECT_EQ(OutputTypeFromName("list." + Upper(extension)), type.type);
        }

        // Each writer is another format: no two write the same header.
        std::string header;
        type.makeWriter(context)->FormatHeader(columns, header);
        EXPECT_TRUE(headers.insert(header).second);
    }
    EXPECT_EQ(&OutputTypeRow(static_cast<OutputType>(99)), &OutputTypes().front());
    for (const char* name : {"list", "list.doc", "a.txt/list", "list.", ".csv.bak"})
        EXPECT_EQ(OutputTypeFromName(name), std::nullopt) << name;
    // ".html" keeps asking for the table; the browsable file is asked for by its name.
    EXPECT_EQ(OutputTypeFromName("list.html"), OutputType::Html);
    EXPECT_EQ(OutputTypeNamed("browsable-html"), OutputType::BrowsableHtml);
    EXPECT_EQ(OutputTypeRow(OutputType::BrowsableHtml).extension, "html");
    for (const char* name : {"", "htm", "browsable", "html "})
        EXPECT_EQ(OutputTypeNamed(name), std::nullopt) << name;
}

} // namespace
} // namespace quillary
