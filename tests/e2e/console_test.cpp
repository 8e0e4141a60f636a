// quillary-cli with settings, configurations, selections and languages: listings whose options come
// from configuration files, and the console program's error handling.
#include "fixture_tree.h"

namespace quillary::test {
namespace {

// A copy of quillary-cli in its own folder, so that the settings file and the language files beside it
// are the test's own.
class PortableCli {
public:
    PortableCli() {
        m_program = m_dir.Path() / CliFileName();
        fs::copy_file(QUILLARY_CLI_PATH, m_program);
    }
    const fs::path& Dir() const { return m_dir.Path(); }
    CliResult Run(const std::vector<std::string>& args, const fs::path& workingDir) const {
        return RunCli(args, workingDir, m_program.string());
    }
    void InstallLanguage(const std::string& name) const {
        fs::copy_file(fs::path(QUILLARY_SOURCE_DIR) / "res" / "lang" / (name + ".lng"),
                      m_dir.Path() / (name + ".lng"));
    }

private:
    ScratchDir m_dir;
    fs::path m_program;
};

class ConsoleTest : public ::testing::Test {
protected:
    // Writes a configuration holding the given "id=value" lines.
    fs::path Configuration(const std::string& name, const std::string& lines) {
        const fs::path path = output.Path() / name;
        WriteFile(path, "[Settings]\n" + lines);
        return path;
    }
    // Lists Data with the configuration and returns the normalised listing.
    std::string ListWith(const std::string& lines, const std::string& outName = "out.txt") {
        const fs::path config = Configuration("case.qlc", lines);
        const fs::path out = output.Path() / outName;
        const CliResult result =
            cli.Run({"/o", config.string(), "--output", out.string(), "Data"}, tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return tree.Normalise(ReadFile(out));
    }

    FixtureTree tree;
    ScratchDir output;
    PortableCli cli;
};

TEST_F(ConsoleTest, GroupedAndFlatModes) {
    // Path style "from top-checked dir" keeps the expected files independent of the temporary folder.
    ExpectGolden("from_top_grouped.txt", ListWith("1035=2\n1006=1\n1007=1\n1025=1\n1023=1\n"));
    ExpectGolden("flat.txt", ListWith("1058=0\n1026=1\n1024=2\n1027=1\n1035=2\n1007=1\n"));
    // "Dir name" off without flat mode: the file rows of every folder one after another.
    ExpectGolden("dir_name_off.txt", ListWith("1058=0\n1024=0\n"));
    // "File name" off: directory lines only, without dash rules.
    ExpectGolden("file_name_off.txt", ListWith("1008=0\n1035=2\n"));
}

TEST_F(ConsoleTest, HashOptionChoosesTheChecksumColumnsForOneRun) {
    // The configuration asks for CRC32; --hash replaces that for this run, in the CSV header too.
    const fs::path config = Configuration("crc.qlc", "1014=1\n1015=0\n1010=0\n1011=0\n1012=0\n1009=0\n");
    const fs::path out = output.Path() / "out.csv";
    auto header = [&](const std::vector<std::string>& hash) {
        std::vector<std::string> args = {"/o", config.string()};
        args.insert(args.end(), hash.begin(), hash.end());
        args.insert(args.end(), {"--output", out.string(), "Data"});
        const CliResult result = cli.Run(args, tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::string listing = ReadFile(out);
        return listing.substr(0, listing.find_first_of("\r\n"));
    };
    EXPECT_EQ(header({}), "NAME;COUNT;SIZE;DATE;TIME;CRC32;ATTR");
    EXPECT_EQ(header({"--hash", "sha256,xxh3"}), "NAME;COUNT;SIZE;DATE;TIME;XXH3;SHA256;ATTR");
    EXPECT_EQ(header({"--hash", "none"}), "NAME;COUNT;SIZE;DATE;TIME;ATTR");
    const CliResult bad = cli.Run({"--hash", "md5", "--output", out.string(), "Data"}, tree.Root());
    EXPECT_EQ(bad.exitCode, 2);
}

TEST_F(ConsoleTest, EverySizeDisplay) {
    std::string all;
    for (int display = 0; display <= 4; ++display) {
        const std::string lines = "1035=2\n1016=0\n1017=0\n1019=0\n1015=0\n1029=" + std::to_string(display) +
                                  "\n1030=2\n1037=" + std::to_string(display % 4) +
                                  "\n1038=" + std::to_string(display % 2) + "\n";
        all += "== size display " + std::to_string(display) + "\n" + ListWith(lines);
    }
    ExpectGolden("size_displays.txt", all);
}

TEST_F(ConsoleTest, ListingInEachFolderHoldsOnlyThatFoldersRows) {
    ListWith("1031=1\n1028=_thisdir\n1035=2\n");
    ExpectGolden("per_folder_data.txt", tree.Normalise(ReadFile(tree.Data() / "_thisdir.txt")));
    EXPECT_TRUE(fs::exists(tree.Data() / "Old" / "_thisdir.txt"));
    EXPECT_EQ(ReadFile(tree.Data() / "Old" / "_thisdir.txt"), "");
    EXPECT_TRUE(fs::exists(tree.Data() / "Sub" / "deep" / "_thisdir.txt"));
}

TEST_F(ConsoleTest, SelectionAndConfigurationWithAGermanLanguage) {
    cli.InstallLanguage("Deutsch");
    // A hand-written configuration as a Windows user would keep it: CR LF and Windows-1252 text.
    WriteFile(tree.Root() / "fast.qlc", "[Settings]\r\nLanguage=Deutsch\r\n1064=*.TXT;*.md\r\n1009=0\r\n"
                                        "1035=2\r\n1028=\xDC"
                                        "bersicht\r\n1031=1\r\n");
    WriteFile(tree.Root() / "docs.qls",
              "3|" + (tree.Data() / "Sub").string() + "\r\n2|" + tree.Data().string() + "\r\n");
    const CliResult result = cli.Run({"/o", "fast", "/l", "docs", "out.txt"}, tree.Root());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = tree.Normalise(ReadFile(tree.Root() / "out.txt"));
    ExpectGolden("german_selection.txt", listing);
    EXPECT_EQ(listing.find("Generated on"), std::string::npos);
    // The listing name came from Windows-1252 text and is written as UTF-8.
    EXPECT_TRUE(fs::exists(tree.Data() / "Sub" /
                           Utf8Path("\xC3\x9C"
                                    "bersicht.txt")));
    // The console program never writes the settings file.
    EXPECT_FALSE(fs::exists(cli.Dir() / "quillary.INI"));
}

TEST_F(ConsoleTest, SettingsFileBesideTheProgramAndQuickConfigurations) {
    WriteFile(cli.Dir() / "quillary.INI", "[Settings]\n1029=1\n1030=1\n");
    WriteFile(cli.Dir() / "csvonly.qlc", "[Settings]\n1048=0\n1050=1\n1022=,\n");
    WriteFile(tree.Root() / "sel.qls", "3|" + (tree.Data() / "Sub" / "deep").string() + "\n");
    const CliResult result = cli.Run({"-O", "csvonly", "-L", "sel", "list"}, tree.Root());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // No dot in the output name: the output type's extension is added.
    const std::string listing = tree.Normalise(ReadFile(tree.Root() / "list.csv"));
    EXPECT_NE(listing.find("\nfile,,TXT,1.0 KB,"), std::string::npos) << listing;
}

TEST_F(ConsoleTest, FailuresAreReportedOnStderrAndInTheExitStatus) {
    WriteFile(tree.Root() / "sel.qls", "3|" + tree.Data().string() + "\n3|/no/such/folder\n");
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"/o", "missing", "/l", "sel", "out.txt"}, 1, "cannot read the configuration file 'missing.qlc'"},
        {{"/l", "nosel", "out.txt"}, 1, "cannot read the selection file 'nosel.qls'"},
        {{"/l", "sel"}, 2, "/l needs a selection file and an output file"},
        {{"/l"}, 2, "/l needs a selection file and an output file"},
        {{"/o"}, 2, "/o needs a configuration file"},
        {{"/o", "--output", "x.txt", "Data"}, 2, "/o needs a configuration file"},
        {{"/l", "sel", "/x", "ok.txt"}, 3, "warning"}, // unknown one-letter switches are ignored
        {{"/l", "sel", "/no/such/dir/out.txt"}, 1, "cannot open the output file"},
        // Written, but a selected folder is missing: the listing is not what was asked for.
        {{"/l", "sel", "ok.txt"}, 3, "warning: sel.qls line 2: folder '/no/such/folder' not found"},
        {{"/o", "cfg"}, 2, "Usage:"},
        {{}, 2, "Usage:"},
        {{"--output"}, 2, "--output needs a file name"},
        {{"--output", "-"}, 2, "--output needs at least one folder after the output name"},
        {{"--frobnicate"}, 2, "unknown option"},
        // Long options ignore case, as the switches do.
        {{"--HELP"}, 0, ""},
        {{"--Version"}, 0, ""},
        {{"--Output", "-", "Data/Old"}, 0, ""},
    };
    for (const Case& c : cases) {
        const CliResult result = cli.Run(c.args, tree.Root());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.message << " in: " << result.err;
    }
    // A directory or binary garbage as the configuration reads as unreadable or empty, never a crash.
    fs::create_directory(tree.Root() / "dir.qlc");
    EXPECT_EQ(cli.Run({"/o", "dir.qlc", "/l", "sel", "x.txt"}, tree.Root()).exitCode, 1);
    WriteFile(tree.Root() / "junk.qlc", std::string("\0\xFF\xFE[Set\0tings]\n1029=\xFF\xFF", 22));
    EXPECT_EQ(cli.Run({"/o", "junk.qlc", "/l", "sel", "y.txt"}, tree.Root()).exitCode, 3);
}

// Folders named by a selection line or on the command line are the folders listed: the exact name
// among case twins, a name that is not UTF-8 by its bytes, a folder named twice or inside another once.
// Case twins, names that are not UTF-8 and symbolic links are things of POSIX file systems.
class NamedFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kOnWindows)
            GTEST_SKIP() << "case twins and names that are not UTF-8 need a POSIX file system";
        for (const char* dir : {"x/Data", "x/data", "x/caf\xC3\xA9", "x/caf\xE9", "D/sub/deep"})
            fs::create_directories(root / dir);
        WriteFile(root / "x" / "Data" / "upper.txt", "U");
        WriteFile(root / "x" / "data" / "lower.txt", "l");
        WriteFile(root / "x" / "caf\xC3\xA9" / "utf8.txt", "u");
        WriteFile(root / "x" / "caf\xE9" / "latin.txt", "1");
        WriteFile(root / "D" / "top.txt", "t");
        WriteFile(root / "D" / "sub" / "deep" / "deep.txt", "d");
        fs::create_directory_symlink(root / "D", root / "link");
    }
    // Lists into standard output from `dir` (the test's root by default).
    CliResult List(std::vector<std::string> args, const fs::path& dir = {}) {
        return RunCli(args, dir.empty() ? root : dir);
    }
    CliResult ListSelection(const std::string& lines) {
        WriteFile(root / "sel.qls", lines);
        return List({"/l", "sel.qls", "-"});
    }

    ScratchDir temp;
    const fs::path root = fs::canonical(temp.Path());
    const std::string x = root.string() + "/x";
};

TEST_F(NamedFoldersTest, SelectionLinesNameTheirFolderExactly) {
    CliResult result = ListSelection("3|" + x + "/data\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("lower.txt"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("upper.txt"), std::string::npos) << result.out;

    // The bytes of a name that is not UTF-8 name the folder, not its UTF-8 twin "café".
    result = ListSelection("3|" + x + "/caf\xE9\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("latin.txt"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("utf8.txt"), std::string::npos) << result.out;
    // Without the twin, the same line written in Windows-1252 finds the UTF-8 name.
    result = ListSelection("3|" + x + "/caf\xC9\n");
    EXPECT_NE(result.out.find("utf8.txt"), std::string::npos) << result.err;

    // "." and ".." are resolved; lines with other codes are ignored, never the whole disk.
    result = ListSelection("3|" + root.string() + "/D/sub/..\n|\nx|" + x + "/data\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Count(result.out, "top.txt"), 1u) << result.out;
    EXPECT_EQ(result.out.find("lower.txt"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("sel.qls line 2 ignored"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("sel.qls line 3 ignored"), std::string::npos) << result.err;
}

TEST_F(NamedFoldersTest, FolderArgumentsAreCheckedOnceAndCanonical) {
    const std::string d = root.string() + "/D";
    CliResult result = List({"--output", "-", x + "/caf\xE9"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("latin.txt"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("utf8.txt"), std::string::npos) << result.out;

    const std::vector<std::vector<std::string>> sameListing = {
        {d}, {d, d}, {d, d + "/sub"}, {d + "/sub/deep", d}, {"link"}, {"D/sub/.."}, {"./D/", "link/sub"},
    };
    for (const std::vector<std::string>& folders : sameListing) {
        std::vector<std::string> args = {"--output", "-"};
        args.insert(args.end(), folders.begin(), folders.end());
        result = List(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(Count(result.out, "top.txt"), 1u) << folders[0] << result.out;
        EXPECT_EQ(Count(result.out, "deep.txt"), 1u) << folders[0] << result.out;
        EXPECT_EQ(Count(result.out, d + "/ "), 1u) << folders[0] << result.out; // listed as D, not link
    }
    result = List({"--output", "-", "."}, root / "D" / "sub");
    EXPECT_NE(result.out.find("deep.txt"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("top.txt"), std::string::npos) << result.out;

    result = List({"--output", "-", "nope", "D/top.txt", "D"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_NE(result.err.find("folder 'nope' not found: No such file or directory"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("folder 'D/top.txt' not found: Not a directory"), std::string::npos)
        << result.err;
    EXPECT_EQ(Count(result.out, "top.txt"), 1u) << result.out;
}

TEST(CurrentFolder, ADeletedCurrentFolderIsAnError) {
    if (kOnWindows)
        GTEST_SKIP() << "Windows does not remove a folder that a process has as its current folder";
    // The shell enters the folder and removes it; quillary-cli then starts in a folder that is gone.
    const ScratchDir temp;
    const fs::path root = fs::canonical(temp.Path());
    WriteFile(root / "dot.qls", "3|.\n");
    const std::string out = root.string() + "/out.txt";
    const std::vector<std::vector<std::string>> forms = {{"--output", out, "."},
                                                         {"/l", root.string() + "/dot.qls", out}};
    for (const std::vector<std::string>& form : forms) {
        fs::create_directory(root / "gone");
        std::vector<std::string> args = {"-c", "cd gone && rmdir ../gone && exec \"$0\" \"$@\"",
                                         QUILLARY_CLI_PATH};
        args.insert(args.end(), form.begin(), form.end());
        const CliResult result = RunCli(args, root, "/bin/sh");
        EXPECT_EQ(result.exitCode, 1) << form[0] << result.err;
        EXPECT_NE(result.err.find("cannot resolve the current folder"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(out)) << form[0];
    }
}

} // namespace
} // namespace quillary::test
