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
        m_program = m_dir.Path() / "quillary-cli";
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
    // A shared configuration cannot make the run write outside the listed folders.
    ListWith("1031=1\n1028=../../escaped\n");
    EXPECT_FALSE(fs::exists(tree.Root() / "escaped.txt"));
    EXPECT_FALSE(fs::exists(tree.Data() / "escaped.txt"));
}

TEST_F(ConsoleTest, SelectionAndConfigurationWithAGermanLanguage) {
    cli.InstallLanguage("Deutsch");
    // A hand-written configuration as a Windows user would keep it: CR LF and Windows-1252 text.
    WriteFile(tree.Root() / "fast.qlc", "[Settings]\r\nLanguage=Deutsch\r\n1064=*.TXT;*.md\r\n1009=0\r\n"
                                        "1035=2\r\n1028=\xDC"
                                        "bersicht\r\n1031=1\r\n");
    WriteFile(tree.Root() / "docs.qls",
              "3|" + tree.Data().string() + "/Sub\r\n2|" + tree.Data().string() + "\r\n");
    const CliResult result = cli.Run({"/o", "fast", "/l", "docs", "out.txt"}, tree.Root());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string listing = tree.Normalise(ReadFile(tree.Root() / "out.txt"));
    ExpectGolden("german_selection.txt", listing);
    EXPECT_EQ(listing.find("Generated on"), std::string::npos);
    // The listing name came from Windows-1252 text and is written as UTF-8.
    EXPECT_TRUE(fs::exists(tree.Data() / "Sub" /
                           "\xC3\x9C"
                           "bersicht.txt"));
    // The console program never writes the settings file.
    EXPECT_FALSE(fs::exists(cli.Dir() / "quillary.INI"));
}

TEST_F(ConsoleTest, SettingsFileBesideTheProgramAndQuickConfigurations) {
    WriteFile(cli.Dir() / "quillary.INI", "[Settings]\n1029=1\n1030=1\n");
    WriteFile(cli.Dir() / "csvonly.qlc", "[Settings]\n1048=0\n1050=1\n1022=,\n");
    WriteFile(tree.Root() / "sel.qls", "3|" + tree.Data().string() + "/Sub/deep\n");
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
        {{"/l", "sel"}, 1, "no output file given"},
        {{"/l", "sel", "/no/such/dir/out.txt"}, 1, "cannot open the output file"},
        {{"/l", "sel", "ok.txt"}, 0, "warning: '/no/such/folder' is not a folder"},
        {{"/o", "cfg"}, 2, "Usage:"},
        {{}, 2, "Usage:"},
        {{"--output"}, 2, "--output needs a file name"},
        {{"--frobnicate"}, 2, "unknown option"},
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
    EXPECT_EQ(cli.Run({"/o", "junk.qlc", "/l", "sel", "y.txt"}, tree.Root()).exitCode, 0);
}

} // namespace
} // namespace quillary::test
