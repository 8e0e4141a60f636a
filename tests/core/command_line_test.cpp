// Parsing of the program's command line.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/console_arguments.h"

namespace quillary {
namespace {

struct Expected {
    bool configuration, unattended;
    const char *configFile, *selectionFile, *outputFile;
};

TEST(CommandLineTest, Cases) {
    struct Row {
        std::vector<std::string> words;
        Expected expected;
    } rows[] = {
        {{}, {false, false, "", "", ""}},
        {{"/l", "docs", "out.txt"}, {false, true, "", "docs.qls", "out.txt"}},
        {{"/L", "SEL", "OUT"}, {false, true, "", "SEL.qls", "OUT"}}, // no extension added to the output
        {{"-l", "a.qls"}, {false, true, "", "a.qls", ""}},
        {{"/l", "a", "b", "c"}, {false, true, "", "a.qls", "c"}},
        {{"/o", "x", "/o", "y"}, {true, false, "y.qlc", "", ""}},
        {{"/o", "fast", "/l", "docs", "out.txt"}, {true, true, "fast.qlc", "docs.qls", "out.txt"}},
        {{"file.qlc"}, {false, false, "", "", ""}},
        {{"/x"}, {false, false, "", "", ""}},
        {{"/x", "/o", "cfg"}, {true, false, "cfg.qlc", "", ""}},
        {{"/o", "cfg", "/x", "other"}, {true, false, "other.qlc", "", ""}}, // /x keeps the state
        {{"/l", "../sel"}, {false, true, "", "../sel", ""}}, // the dot check sees the whole word
        {{"/O", "dir.d/cfg"}, {true, false, "dir.d/cfg", "", ""}},
        {{"/lo", "x"}, {false, false, "", "", ""}}, // not a known switch
        {{"/l", "/abs/sel.qls", "/abs/out.txt"}, {false, true, "", "/abs/sel.qls", "/abs/out.txt"}},
        {{"-x", "-o", "c"}, {true, false, "c.qlc", "", ""}},
    };
    for (const Row& row : rows) {
        const CommandLineInfo info = CommandLineInfo::Parse(row.words);
        std::string words;
        for (const auto& w : row.words)
            words += w + " ";
        EXPECT_EQ(info.m_bLoadConfiguration, row.expected.configuration) << words;
        EXPECT_EQ(info.m_bUnattended, row.expected.unattended) << words;
        EXPECT_EQ(info.m_strConfigurationFile, row.expected.configFile) << words;
        EXPECT_EQ(info.m_strSelectionFile, row.expected.selectionFile) << words;
        EXPECT_EQ(info.m_strOutputFile, row.expected.outputFile) << words;
    }
}

TEST(CommandLineTest, SwitchesWithoutTheirFilesAreNotUnderstood) {
    struct Row {
        std::vector<std::string> words;
        const char* missing;
    } rows[] = {
        {{"/l", "sel.qls"}, "/l needs a selection file and an output file"},
        {{"/l"}, "/l needs a selection file and an output file"},
        {{"/o"}, "/o needs a configuration file"},
        {{"/o", "/l", "sel", "out"}, "/o needs a configuration file"},
        {{"/l", "sel", "out"}, ""},
        {{"/l", "sel", "/x", "out"}, ""}, // unknown switches are ignored
        {{"/o", "cfg"}, ""},
        {{}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CommandLineInfo::Parse(row.words).MissingParameter(), row.missing) << row.words.size();
}

TEST(ConsoleArgumentsTest, DecidesWhatToDo) {
    using Action = ConsoleArguments::Action;
    constexpr const char* kCompareUsage =
        "--compare needs a listing, a later listing or folders, then --output REPORT";
    struct Row {
        std::vector<std::string> args;
        Action action;
        const char* problem;
    } rows[] = {
        {{}, Action::Usage, ""},
        {{"/l", "sel", "out"}, Action::ListSelection, ""},
        {{"/l", "sel"}, Action::Usage, "/l needs a selection file and an output file"},
        {{"/o", "cfg"}, Action::Usage, ""},
        {{"/o", "--output", "x", "D"}, Action::Usage, "/o needs a configuration file"},
        {{"/o", "cfg", "--output", "x", "D"}, Action::ListFolders, ""},
        {{"--output", "x"}, Action::Usage, "--output needs at least one folder after the output name"},
        {{"--output"}, Action::Usage, "--output needs a file name"},
        {{"--OUTPUT", "x", "D"}, Action::ListFolders, ""}, // long options ignore case
        {{"--Help"}, Action::Help, ""},
        {{"--VERSION"}, Action::Version, ""},
        {{"--helper"}, Action::Usage, "unknown option '--helper'"},
        {{"--hel"}, Action::Usage, "unknown option '--hel'"},
        {{"--bogus", "--help"}, Action::Usage, "unknown option '--bogus'"},
        {{"/l", "--help"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"--hash", "xxh3", "--output", "x", "D"}, Action::ListFolders, ""},
        {{"--HASH", "none", "/l", "sel", "out"}, Action::ListSelection, ""},
        {{"--hash"}, Action::Usage, "--hash needs a list such as crc32,xxh3,sha256 or none"},
        {{"--hash", "md5", "/l", "s", "o"},
         Action::Usage,
         "--hash takes crc32, xxh3 and sha256 separated by commas, or none: 'md5'"},
        {{"--type", "Browsable-HTML", "--output", "x", "D"}, Action::ListFolders, ""},
        {{"--type"}, Action::Usage, "--type needs an output type: txt, html, csv, jsonl or browsable-html"},
        {{"--type", "htm", "/l", "s", "o"},
         Action::Usage,
         "--type takes txt, html, csv, jsonl or browsable-html: 'htm'"},
        {{"/o", "cfg", "--Compare", "a.jsonl", "b.jsonl", "--output", "r.txt"}, Action::Compare, ""},
        {{"--compare", "a.jsonl", "D1", "D2", "--output", "r"}, Action::Compare, ""},
        {{"--compare", "a.jsonl", "--output", "r"}, Action::Usage, kCompareUsage},
        {{"--compare", "a.jsonl", "b.jsonl"}, Action::Usage, kCompareUsage},
        {{"--compare", "a.jsonl", "b.jsonl", "--output"}, Action::Usage, kCompareUsage},
        {{"--compare", "a.jsonl", "b.jsonl", "--output", "r", "x"}, Action::Usage, kCompareUsage},
    };
    for (const Row& row : rows) {
        const ConsoleArguments arguments = ParseConsoleArguments(row.args);
        EXPECT_EQ(arguments.action, row.action) << row.args.size();
        EXPECT_EQ(arguments.problem, row.problem) << row.args.size();
    }
    const ConsoleArguments direct = ParseConsoleArguments({"--output", "out.txt", "A", "--help"});
    EXPECT_EQ(direct.outputPath, "out.txt");
    EXPECT_EQ(direct.folders, (std::vector<std::string>{"A", "--help"})); // folders may look like switches
    const ConsoleArguments compare =
        ParseConsoleArguments({"--compare", "a.jsonl", "D1", "D2", "--output", "r"});
    EXPECT_EQ(compare.compareBefore, "a.jsonl");
    EXPECT_EQ(compare.compareAfter, (std::vector<std::string>{"D1", "D2"}));
    EXPECT_EQ(compare.outputPath, "r");
    EXPECT_EQ(ParseConsoleArguments({"--type", "csv", "/l", "s", "o"}).outputType, OutputType::Csv);
    EXPECT_FALSE(ParseConsoleArguments({"/l", "s", "o"}).outputType.has_value());
}

TEST(ConsoleArgumentsTest, HashLists) {
    struct Row {
        const char* list;
        bool valid, crc32, xxh3, sha256;
    } rows[] = {
        {"crc32,xxh3,sha256", true, true, true, true},
        {"SHA256,crc32", true, true, false, true},
        {"xxh3", true, false, true, false},
        {"none", true, false, false, false},
        {"none,xxh3", false, false, false, false}, // "none" stands alone
        {"", false, false, false, false},
        {"xxh3,", false, false, false, false},
        {"crc", false, false, false, false},
        {"sha-256", false, false, false, false},
    };
    for (const Row& row : rows) {
        const std::optional<HashColumns> columns = ParseHashList(row.list);
        ASSERT_EQ(columns.has_value(), row.valid) << row.list;
        if (!columns)
            continue;
        EXPECT_EQ(columns->crc32, row.crc32) << row.list;
        EXPECT_EQ(columns->xxh3, row.xxh3) << row.list;
        EXPECT_EQ(columns->sha256, row.sha256) << row.list;
    }
    EXPECT_TRUE(ParseConsoleArguments({"--hash", "sha256", "/l", "s", "o"}).hashes->sha256);
    EXPECT_FALSE(ParseConsoleArguments({"/l", "s", "o"}).hashes.has_value());
}

} // namespace
} // namespace quillary
