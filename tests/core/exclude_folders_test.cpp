// Folders left out by name or as hidden: neither listed nor read, so nothing below them counts; a
// selected folder is read whatever the rules say.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/console_arguments.h"
#include "engine/listing_engine.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

class ExcludeFoldersTest : public ::testing::Test {
protected:
    ExcludeFoldersTest() {
        for (const char* folder : {"src", "src/node_modules/pkg", ".cache", "src/.git", "mirror.git"})
            fs::create_directories(data / folder);
        WriteFile(data / "src" / "a.c", "12345");
        WriteFile(data / "src" / "node_modules" / "pkg" / "big.js", std::string(1000, 'x'));
        WriteFile(data / ".cache" / "c.bin", "123");
        WriteFile(data / "src" / ".git" / "HEAD", "ref");
        WriteFile(data / "mirror.git" / "k.txt", "k");
        target.options.m_outputType = OutputType::Csv;
        target.options.m_bFileExtension = false;
        target.options.m_bDirDate = target.options.m_bDirTime = target.options.m_bDirAttributes = false;
        target.options.m_bFileDate = target.options.m_bFileTime = target.options.m_bFileAttributes = false;
        target.options.m_bCsvColumnNames = false;
        target.outputPath = (scratch.Path() / "out.csv").string();
        target.headerTime = 0;
    }
    // The listing's lines, the root folder's part of each path cut off.
    std::string List(const std::vector<std::string>& checked) {
        target.checkedDirs = checked;
        ListingEngine engine;
        engine.SetRunTarget(target);
        const RunResult result = engine.Run();
        EXPECT_EQ(result.status, RunStatus::Written);
        EXPECT_TRUE(result.problems.empty());
        std::string listing = ReadFile(target.outputPath);
        const std::string prefix = data.string();
        for (std::size_t at; (at = listing.find(prefix)) != std::string::npos;)
            listing.erase(at, prefix.size());
        return listing;
    }

    test::ScratchDir scratch;
    fs::path data = scratch.Path() / "data";
    RunTarget target;
};

TEST_F(ExcludeFoldersTest, ExcludedFoldersAreNotListedReadOrCounted) {
    const std::string all = List({"3|" + data.string()});
    EXPECT_NE(all.find("big.js"), std::string::npos);

    target.options.m_strExcludeMask = "node_modules;*.GIT"; // names ignore case, as the file mask does
    const std::string excluded = List({"3|" + data.string()});
    EXPECT_EQ(excluded.find("node_modules"), std::string::npos) << excluded;
    EXPECT_EQ(excluded.find(".git"), std::string::npos) << excluded;
    EXPECT_EQ(excluded.find("HEAD"), std::string::npos) << excluded;
    // src holds a.c alone now: one file of 5 bytes, and the folder's line counts only that.
    const std::string sep(1, kPathSeparator);
    EXPECT_NE(excluded.find(sep + "src" + sep + ";1;5"), std::string::npos) << excluded;
    EXPECT_NE(excluded.find(".cache"), std::string::npos) << excluded;

    target.options.m_bSkipHiddenDirs = true;
    EXPECT_EQ(List({"3|" + data.string()}).find(".cache"), std::string::npos);
}

TEST_F(ExcludeFoldersTest, ASelectedFolderIsReadWhateverTheRulesSay) {
    target.options.m_strExcludeMask = "node_modules";
    target.options.m_bSkipHiddenDirs = true;
    const fs::path modules = data / "src" / "node_modules";
    const std::string listing = List({"3|" + modules.string(), "2|" + (data / ".cache").string()});
    EXPECT_NE(listing.find("big.js"), std::string::npos) << listing;
    EXPECT_NE(listing.find("c.bin"), std::string::npos) << listing;
}

TEST(ExcludeMaskTest, ExcludeFilesAndCommandLineMasks) {
    EXPECT_EQ(ExcludeMaskFromLines("# build output\n  node_modules  \r\n\n.git\n#x\n*.tmp"),
              "node_modules;.git;*.tmp");
    EXPECT_EQ(ExcludeMaskFromLines(""), "");
    EXPECT_EQ(ExcludeMaskFromLines("# only a comment\n"), "");
    EXPECT_EQ(JoinMasks("", "a"), "a");
    EXPECT_EQ(JoinMasks("a;b", ""), "a;b");
    EXPECT_EQ(JoinMasks("a", "b"), "a;b");
    const ConsoleArguments arguments = ParseConsoleArguments(
        {"--exclude", ".git", "--exclude-from", "ex.txt", "--exclude", "x", "/l", "s", "o"});
    EXPECT_EQ(arguments.action, ConsoleArguments::Action::ListSelection);
    EXPECT_EQ(arguments.excludeMasks, (std::vector<std::string>{".git", "x"}));
    EXPECT_EQ(arguments.excludeFromFiles, (std::vector<std::string>{"ex.txt"}));
    EXPECT_EQ(ParseConsoleArguments({"--exclude"}).problem, "--exclude needs a mask of folder names");
    EXPECT_EQ(ParseConsoleArguments({"--exclude-from"}).problem, "--exclude-from needs a file name");
}

} // namespace
} // namespace quillary
