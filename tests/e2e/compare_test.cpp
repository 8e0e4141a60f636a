// quillary-cli --compare: two listings of a tree, or a listing and the tree as it is now, reported as
// the folders and files added, removed and changed, in each output type, with the exit status 0 when
// nothing changed and 4 when something did.
#include "fixture_tree.h"

namespace quillary::test {
namespace {

class CompareTest : public ::testing::Test {
protected:
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, tree.Root()); }
    fs::path Out(const std::string& name) const { return output.Path() / name; }
    // The tree listed now into `name`.
    void ListTo(const std::string& name) {
        const CliResult listed = Run({"--output", Out(name).string(), "Data"});
        ASSERT_EQ(listed.exitCode, 0) << listed.err;
    }

    FixtureTree tree;
    ScratchDir output;
};

TEST_F(CompareTest, AddedRemovedGrownTouchedAndRenamed) {
    ListTo("before.jsonl");
    // The same listing twice: nothing changed.
    CliResult same = Run({"--compare", Out("before.jsonl").string(), Out("before.jsonl").string(), "--output",
                          Out("same.txt").string()});
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_NE(ReadFile(Out("same.txt")).find("added: 0 folders, 0 files"), std::string::npos);

    WriteFile(tree.Data() / "new.txt", "12345");
    fs::remove(tree.Data() / "README");
    WriteFile(tree.Data() / "notes.txt", std::string(34570, 'x'));
    SetTimes(tree.Data() / "notes.txt", kFixtureTime - 86400, kFixtureTime);
    SetTimes(tree.Data() / "report.doc", kFixtureTime + 60, kFixtureTime);
    fs::rename(tree.Data() / "Sub" / "Zeta.md", tree.Data() / "Sub" / "Alpha.md");
    fs::rename(tree.Data() / "Old", tree.Data() / "Older");
    SetTimes(tree.Data() / "Sub", kFixtureTime - 11 * 86400, kFixtureTime);
    SetTimes(tree.Data(), kFixtureTime - 13 * 86400, kFixtureTime);

    // The later side listed from the folder, the report in JSON Lines.
    const CliResult changed =
        Run({"--compare", Out("before.jsonl").string(), "Data", "--output", Out("report.jsonl").string()});
    EXPECT_EQ(changed.exitCode, 4) << changed.err;
    // JSON writes a Windows separator escaped; the expected lines are written with "/".
    std::string report = ReadFile(Out("report.jsonl"));
    for (std::size_t at = report.find("\\\\"); kOnWindows && at != std::string::npos;
         at = report.find("\\\\", at + 1))
        report.replace(at, 2, "\\");
    report = tree.Normalise(report);
    if (kOnWindows)
        std::replace(report.begin(), report.end(), '\\', '/');
    for (const std::string& line : {
             std::string(
                 "\"change\":\"added\",\"entry\":\"file\",\"path\":\"<ROOT>/Data/new.txt\",\"newSize\":5,"),
             std::string(
                 "\"change\":\"removed\",\"entry\":\"file\",\"path\":\"<ROOT>/Data/README\",\"oldSize\":0,"),
             std::string(
                 "\"change\":\"changed\",\"entry\":\"file\",\"path\":\"<ROOT>/Data/notes.txt\",\"oldSize\":"
                 "34567,\"oldModified\":\"2004-05-05T07:08:09+00:00\",\"newSize\":34570,\"newModified\":"
                 "\"2004-05-05T07:08:09+00:00\",\"sizeDifference\":3,\"sizeChanged\":true,"
                 "\"modifiedChanged\":false"),
             std::string(
                 "\"path\":\"<ROOT>/Data/report.doc\",\"oldSize\":1200000,\"oldModified\":\"2004-05-06T07:08:"
                 "09+00:00\",\"newSize\":1200000,\"newModified\":\"2004-05-06T07:09:09+00:00\","
                 "\"sizeDifference\":0,\"sizeChanged\":false,\"modifiedChanged\":true"),
             std::string("\"change\":\"removed\",\"entry\":\"folder\",\"path\":\"<ROOT>/Data/Old\""),
             std::string("\"change\":\"added\",\"entry\":\"folder\",\"path\":\"<ROOT>/Data/Older\""),
             std::string("\"change\":\"removed\",\"entry\":\"file\",\"path\":\"<ROOT>/Data/Sub/Zeta.md\""),
             std::string("\"change\":\"added\",\"entry\":\"file\",\"path\":\"<ROOT>/Data/Sub/Alpha.md\""),
             std::string(
                 "{\"type\":\"summary\",\"added\":{\"folders\":1,\"files\":2},\"removed\":{\"folders\":1,"
                 "\"files\":2},\"changed\":{\"folders\":1,\"files\":2},\"unchanged\":{\"folders\":2,"
                 "\"files\":6},"
                 "\"bytesBefore\":2288280,\"bytesAfter\":2288288,\"changed\":true}"),
         })
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    // Data's own size grew by 8 bytes (new.txt and notes.txt); Sub's did not.
    EXPECT_NE(report.find("\"entry\":\"folder\",\"path\":\"<ROOT>/Data\",\"oldSize\":2288280"),
              std::string::npos);
    EXPECT_EQ(report.find("\"path\":\"<ROOT>/Data/Sub\","), std::string::npos) << report;

    // A copy of the tree elsewhere compares by the paths below the listed folder: unchanged.
    ListTo("after.jsonl");
    fs::create_directories(tree.Root() / "Copy");
    fs::copy(tree.Data(), tree.Root() / "Copy" / "Data", fs::copy_options::recursive);
    const CliResult copy =
        Run({"--compare", Out("after.jsonl").string(), (tree.Root() / "Copy" / "Data").string(), "--output",
             Out("copy.csv").string()});
    // Copying gives new modification times to the copied files, so only times change.
    EXPECT_EQ(copy.exitCode, 4) << copy.err;
    const std::string csv = ReadTextFile(Out("copy.csv"));
    EXPECT_EQ(csv.find("\nadded;f"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("\nremoved;f"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nchanged;file;"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nadded;total;;;;;;;0 folders, 0 files\n"), std::string::npos) << csv;
}

// A listing in another order (folders by size, descending; files by size) is sorted before the merge
// and matches the default listing of the same tree entry for entry.
TEST_F(CompareTest, ListingsInAnyOrderCompare) {
    ListTo("default.jsonl");
    WriteFile(Out("by-size.qlc"), "[Settings]\n1023=1\n1025=1\n1024=2\n");
    const CliResult listed =
        Run({"/o", Out("by-size.qlc").string(), "--output", Out("by-size.jsonl").string(), "Data"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    for (const auto& [before, after] :
         {std::pair{"default.jsonl", "by-size.jsonl"}, std::pair{"by-size.jsonl", "default.jsonl"}}) {
        const CliResult same = Run(
            {"--compare", Out(before).string(), Out(after).string(), "--output", Out("same.txt").string()});
        EXPECT_EQ(same.exitCode, 0) << same.err;
        EXPECT_NE(ReadTextFile(Out("same.txt")).find("unchanged: 4 folders, 10 files\n"), std::string::npos)
            << before;
    }
}

TEST_F(CompareTest, ReportsInHtmlAreEscapedAndBadListingsWriteNothing) {
    ListTo("before.jsonl");
    WriteFile(tree.Data() / (kOnWindows ? "x & y.txt" : "<img src=x onerror=alert(1)>.txt"), "1");
    const CliResult html =
        Run({"--compare", Out("before.jsonl").string(), "Data", "--output", Out("report.html").string()});
    EXPECT_EQ(html.exitCode, 4) << html.err;
    const std::string page = ReadFile(Out("report.html"));
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_NE(page.find(kOnWindows ? "x &amp; y.txt" : "&lt;img src=x onerror=alert(1)&gt;.txt"),
              std::string::npos);

    // A text listing, a missing file and a cut line are refused with one line; no report is written.
    ListTo("listing.txt");
    WriteFile(Out("cut.jsonl"), ReadFile(Out("before.jsonl")).substr(0, 600));
    for (const std::string bad : {"listing.txt", "missing.jsonl", "cut.jsonl"}) {
        const CliResult refused = Run({"--compare", Out(bad).string(), Out("before.jsonl").string(),
                                       "--output", Out("none.txt").string()});
        EXPECT_EQ(refused.exitCode, 1) << bad;
        EXPECT_NE(refused.err.find(bad), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(Out("none.txt"))) << bad;
    }
    EXPECT_EQ(Run({"--compare", Out("before.jsonl").string(), "--output", Out("none.txt").string()}).exitCode,
              2);
}

} // namespace
} // namespace quillary::test
