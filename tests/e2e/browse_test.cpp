// The browsable HTML listing through quillary-cli: its embedded rows read back by Python's json module
// (check_browse.py --data) over the fixture tree and over names made to break out of the script
// element, and the page itself in headless Chromium: rows shown, a search narrows them, a click on a
// header sorts them, a folder shows its entries, and no name runs as script.
#include "fixture_tree.h"

namespace quillary::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kChromium = "/usr/bin/chromium";

class BrowsableListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Windows names cannot hold the hostile names' "<", ">" and '"'.
        if (kOnWindows || !fs::exists(kPython))
            GTEST_SKIP() << "the checks need /usr/bin/python3 and POSIX names";
    }
    // Lists Data with a configuration of "id=value" lines as the browsable type into out.html.
    void List(const std::string& lines, int exitCode = 0) {
        const fs::path config = output.Path() / "case.qlc";
        WriteFile(config, "[Settings]\n" + lines);
        const CliResult result =
            RunCli({"/o", config.string(), "--type", "browsable-html", "--output", Out().string(), "Data"},
                   tree.Root());
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
    }
    // check_browse.py's output on out.html.
    std::string Check(const std::vector<std::string>& options) {
        std::vector<std::string> args{std::string(QUILLARY_SOURCE_DIR) + "/tests/e2e/check_browse.py",
                                      Out().string()};
        args.insert(args.end(), options.begin(), options.end());
        const ProgramResult result = RunProgram(kPython, args, tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return tree.Normalise(result.out);
    }
    // Names no listing may let out of their cell. A name cannot hold "/", but a path can: the folders
    // "<", "script><script>...<" and "script>" make ".../</script><script>...</script>/".
    void AddHostileNames() {
        fs::create_directories(tree.Data() / "<" / "script><script>document.title='pwned'<" / "script>");
        for (const char* name :
             {"<img src=x onerror=document.title='pwned'>.txt", "<!-- x", "line\xE2\x80\xA8sep.txt",
              "para\xE2\x80\xA9.txt", "caf\xE9.txt", "amp&lt;.txt", "quote\"back\\slash"})
            WriteFile(tree.Data() / fs::path(std::string(name)), "12");
    }
    fs::path Out() const { return output.Path() / "out.html"; }

    FixtureTree tree;
    ScratchDir output;
};

TEST_F(BrowsableListingTest, TheEmbeddedRowsAreJsonWithEveryFolder) {
    List("");
    EXPECT_EQ(Check({"--data"}), "ok folders=4 files=10 subfolders=3\n");
    // ".html" alone still asks for the table.
    const CliResult table =
        RunCli({"--output", (output.Path() / "table.html").string(), "Data"}, tree.Root());
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(ReadFile(output.Path() / "table.html").rfind("<HTML>", 0), 0u);

    // Files treated all together have no folder lines: their folders are listed after the rows, and
    // the per-folder listings written before them change nothing in the listing itself.
    List("1026=1\n1031=1\n1028=_thisdir\n");
    EXPECT_EQ(Check({"--data"}), "ok folders=3 files=10 subfolders=3\n");
    EXPECT_TRUE(fs::exists(tree.Data() / "Sub" / "_thisdir.html"));
}

TEST_F(BrowsableListingTest, HostileNamesRoundTrip) {
    AddHostileNames();
    List("");
    const std::string names = Check({"--data", "--names"});
    for (const char* line : {
             "\n\"<ROOT>/Data/</script><script>document.title='pwned'</script>/\"\n",
             "\n\"<img src=x onerror=document.title='pwned'>\"\n",
             "\n\"<!-- x\"\n",
             "\n\"line\\u2028sep\"\n",
             "\n\"para\\u2029\"\n",
             "\n\"caf\\ufffd\"\n",
             "\n\"amp&lt;\"\n",
             "\n\"quote\\\"back\\\\slash\"\n",
             "\n\"script><script>document.title='pwned'<\"\n",
         })
        EXPECT_NE(names.find(line), std::string::npos) << line << names;
}

TEST_F(BrowsableListingTest, ThePageInChromium) {
    if (!fs::exists(kChromium))
        GTEST_SKIP() << "the page test needs " << kChromium << " (scripts/install-deps.sh installs it)";
    AddHostileNames();
    List("");
    const std::string result = Check({"--search", "*.txt", "--search", "pwned", "--search", "r?adme"});
    // Rows: the fixture's 10 files and 3 subfolders, the 7 hostile files and the 3 folders of the path.
    // "*.txt": notes.txt, "a b & <c>.txt", Überblick.TXT, file.TXT and the 5 hostile .txt names;
    // "pwned" (anywhere in the name): the <img ...> file and the folder "script><script>...<";
    // "r?adme": README. Data, the first folder, holds 8 + 7 files and the entries Old, Sub and "<".
    EXPECT_EQ(result.rfind("ok rows=23 dom-rows=", 0), 0u) << result;
    EXPECT_NE(result.find(" search=9,2,1 sorted-by=NAME,SIZE,DATE folder=18\n"), std::string::npos) << result;
}

} // namespace
} // namespace quillary::test
