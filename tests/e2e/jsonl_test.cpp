// JSON Lines listings read back by another program: every line checked by Python's json module and a
// schema check (check_jsonl.py), over the fixture tree and over names made to break the format.
#include "fixture_tree.h"

namespace quillary::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

class JsonLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kOnWindows || !fs::exists(kPython))
            GTEST_SKIP() << "the schema check needs /usr/bin/python3";
    }
    // Lists `folders` with a configuration of "id=value" lines into out.jsonl and returns its text.
    std::string List(const std::string& lines, const std::vector<std::string>& folders = {"Data"},
                     int exitCode = 0) {
        const fs::path config = output.Path() / "case.qlc";
        WriteFile(config, "[Settings]\n" + lines);
        std::vector<std::string> args{"/o", config.string(), "--output", Out().string()};
        args.insert(args.end(), folders.begin(), folders.end());
        const CliResult result = RunCli(args, tree.Root());
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        return ReadFile(Out());
    }
    // The schema check's one line ("ok folders=... files=..."), with the paths checked on disk.
    std::string Check() {
        const ProgramResult result = RunProgram(
            kPython,
            {std::string(QUILLARY_SOURCE_DIR) + "/tests/e2e/check_jsonl.py", "--exists", Out().string()},
            tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return result.out;
    }
    fs::path Out() const { return output.Path() / "out.jsonl"; }

    FixtureTree tree;
    ScratchDir output;
};

TEST_F(JsonLinesTest, TheFixtureTreeWithExactBytesAndTimes) {
    // Display formats are left out: sizes in MB with decimals, a date format, narrow columns.
    const std::string text = tree.Normalise(List("1029=2\n1030=2\n1045=3\n1039=5\n1014=1\n1121=1\n"));
    EXPECT_EQ(Check(), "ok folders=4 subfolders=3 files=10 problems=0\n");
    EXPECT_NE(text.find("\"crc32\":true"), std::string::npos);
    EXPECT_NE(text.find("{\"type\":\"file\",\"path\":\"<ROOT>/Data/report.doc\",\"name\":\"report.doc\","
                        "\"size\":1200000,\"created\":"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"modified\":\"2004-05-06T07:08:09+00:00\""), std::string::npos);
    EXPECT_NE(text.find("\"name\":\"a b & <c>.txt\""), std::string::npos);
    EXPECT_NE(text.find("\"name\":\"semi;colon \\\"q\\\".csv\""), std::string::npos);
    EXPECT_NE(
        text.find("{\"type\":\"folder\",\"path\":\"<ROOT>/Data/Sub/deep\",\"name\":\"deep\",\"size\":1023,"),
        std::string::npos);
    EXPECT_NE(text.find("\"extension\":\"gz\",\"crc32\":\""), std::string::npos);
    EXPECT_NE(text.find("\"name\":\"README\",\"size\":0,"), std::string::npos);
    EXPECT_NE(text.find("\"sha256\":\"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\""),
              std::string::npos); // the digest of no bytes, README's
    EXPECT_NE(text.find("{\"type\":\"summary\",\"folders\":4,\"files\":10,\"bytes\":2288280,\"problems\":0,"
                        "\"cancelled\":false,\"complete\":true}\n"),
              std::string::npos)
        << text;
}

TEST_F(JsonLinesTest, MaskSortingAndAllTogetherApply) {
    // "*.txt", files sorted by size descending, all together: no folder objects, largest first.
    const std::string text = List("1064=*.txt\n1024=2\n1027=1\n1026=1\n");
    EXPECT_EQ(Check(), "ok folders=0 subfolders=0 files=4 problems=0\n");
    const std::size_t notes = text.find("notes.txt"), uber = text.find("berblick.TXT"),
                      deep = text.find("file.TXT"), abc = text.find("<c>.txt");
    EXPECT_LT(notes, uber);
    EXPECT_LT(uber, deep);
    EXPECT_LT(deep, abc);
    EXPECT_NE(text.find("\"mask\":\"*.txt\""), std::string::npos);
    EXPECT_NE(text.find("\"allTogether\":true"), std::string::npos);
}

TEST_F(JsonLinesTest, HostileNamesStayValidJsonAndKeepTheirExactBytes) {
    const fs::path data = tree.Data();
    const std::vector<std::string> names = {
        "quote\"back\\slash",           "new\nline\ttab\rcr",     "esc\x1B[2J bell\x07 del\x7F",
        "not utf8 \xFF\xFE \xC3",       "over\xE2\x80\xAEride",   "nul-like \\u0000 text",
        "surrogate \xED\xA0\x80 bytes", "}{\"type\":\"summary\"",
    };
    for (const std::string& name : names)
        WriteFile(data / name, "x");
    fs::create_directory(data / "dir \xFF\n");
    WriteFile(data / "dir \xFF\n" / "inner", "yy");
    // An unreadable folder is a problem object (unless root reads everything).
    fs::create_directory(data / "locked");
    fs::permissions(data / "locked", fs::perms::none);
    const bool locked = !RunningAsRoot();
    const std::string text = List("", {"Data"}, locked ? 3 : 0);
    fs::permissions(data / "locked", fs::perms::owner_all);
    EXPECT_EQ(Check(), locked ? "ok folders=6 subfolders=5 files=19 problems=1\n"
                              : "ok folders=6 subfolders=5 files=19 problems=0\n");
    EXPECT_NE(text.find("\"nameHex\":\"6e6f74207574663820fffe20c3\""), std::string::npos) << text;
    if (locked) {
        EXPECT_NE(text.find("{\"type\":\"problem\",\"kind\":\"folder-unreadable\""), std::string::npos);
    }
    EXPECT_NE(text.find("\"complete\":" + std::string(locked ? "false" : "true") + "}"), std::string::npos);
}

} // namespace
} // namespace quillary::test
