// "quillary /l SELECTION OUTPUT": the real program writes the listing and closes by itself, with the
// exit status and the stderr lines of quillary-cli.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "gui_test_support.h"
#include "support/environment.h"
#include "support/run_program.h"

namespace quillary::test {
namespace {

// Copies a program into its own folder, which then is its program folder (portable use), so that its
// settings file does not land in the build tree.
std::string InstallAlone(const std::string& program, const ScratchDir& dir, const std::string& name) {
    fs::create_directories(dir.Path() / (name + "-dir"));
    const fs::path target = dir.Path() / (name + "-dir") / fs::path(program).filename();
    fs::copy_file(program, target);
    return target.string();
}

// The program run in `dir` with a fixed time stamp.
ProgramResult RunIn(const ScratchDir& dir, const std::string& program, const std::vector<std::string>& args,
                    std::vector<std::pair<std::string, std::string>> environment = {}) {
    RunOptions options;
    options.environment = {{"SOURCE_DATE_EPOCH", "1700000000"}, {"TZ", "UTC"}};
    options.environment.insert(options.environment.end(), environment.begin(), environment.end());
    return RunProgram(program, args, dir.Path(), options);
}

TEST(Unattended, WritesTheSameListingAsTheConsoleProgramAndClosesByItself) {
    ScratchDir dir;
    fs::create_directories(dir.Path() / "data" / "sub");
    WriteFile(dir.Path() / "data" / "a.txt", "hello");
    WriteFile(dir.Path() / "data" / "sub" / "b.csv", "1;2;3\n");
    WriteFile(dir.File("sel.qls"), "3|" + (dir.Path() / "data").string() + "\n");
    const std::string gui = InstallAlone(QUILLARY_GUI_PATH, dir, "quillary");
    const std::string cli = InstallAlone(QUILLARY_CLI_PATH, dir, "quillary-cli");

    ASSERT_EQ(RunIn(dir, cli, {"/l", "sel", "cli.txt"}).exitCode, 0);
    ASSERT_EQ(RunIn(dir, gui, {"/l", "sel", "gui.txt"}).exitCode, 0) << "the window did not close by itself";
    const std::string listing = ReadFile(dir.File("gui.txt"));
    EXPECT_NE(listing.find("a.txt"), std::string::npos) << listing;
    EXPECT_EQ(listing, ReadFile(dir.File("cli.txt")));
    // The settings are saved as after any run without "/o".
    EXPECT_TRUE(fs::exists(dir.Path() / "quillary-dir" / "quillary.INI"));
}

// The lines a program wrote on stderr after its own name ("quillary: ", "quillary-cli: "), without
// that name: what it told about the run. The toolkit's own warnings are left out.
std::vector<std::string> ToldLines(const std::string& err, const std::string& program) {
    const std::string prefix = program + ": ";
    std::vector<std::string> lines;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') // CR LF on Windows
            line.pop_back();
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line.substr(prefix.size()));
    }
    return lines;
}

// The same inputs give the same exit status and the same lines on stderr from the window's "/l" and
// from quillary-cli, whether the run stops before it starts, fails, or is written incomplete.
TEST(Unattended, WindowAndConsoleProgramTellTheSameOutcome) {
    ScratchDir dir;
    // Everybody may enter the scratch folder: the unreadable folder needs a run as "nobody" under root.
    fs::permissions(dir.Path(), fs::perms::all, fs::perm_options::add);
    const fs::path data = dir.Path() / "data";
    fs::create_directories(data / "locked");
    WriteFile(data / "a.txt", "hello");
    WriteFile(data / "locked" / "inside.txt", "x");
    WriteFile(dir.File("sel.qls"), "3|" + data.string() + "\n");
    WriteFile(dir.File("gone.qls"), "3|" + data.string() + "\n3|" + dir.File("gone") + "\n");
    const std::string gui = InstallAlone(QUILLARY_GUI_PATH, dir, "quillary");
    const std::string cli = InstallAlone(QUILLARY_CLI_PATH, dir, "quillary-cli");
    for (const char* program : {"quillary-dir", "quillary-cli-dir"})
        fs::permissions(dir.Path() / program, fs::perms::all);
    fs::create_directories(dir.Path() / "home");
    fs::permissions(dir.Path() / "home", fs::perms::all);
    // A copy of the X server's key that "nobody" may read.
    const char* xauthority = std::getenv("XAUTHORITY");
    if (xauthority != nullptr && *xauthority != '\0') {
        fs::copy_file(xauthority, dir.File("xauth"));
        fs::permissions(dir.File("xauth"),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }

    struct Case {
        std::string name;
        std::vector<std::string> args;
        const char* epoch;
        bool locked; // the folder data/locked cannot be read
        int status;
        std::string told; // a line both must tell
    } cases[] = {
        {"bad SOURCE_DATE_EPOCH",
         {"/l", "sel", "out.txt"},
         "abc",
         false,
         2,
         "SOURCE_DATE_EPOCH must be a whole number of seconds from 0 to 253402300799"},
        {"missing selection file",
         {"/l", "nosel", "out.txt"},
         "1700000000",
         false,
         1,
         "cannot read the selection file 'nosel.qls'"},
        {"unwritable output",
         {"/l", "sel", "no/such/folder/out.txt"},
         "1700000000",
         false,
         1,
         "cannot open the output file 'no/such/folder/out.txt': No such file or directory"},
        {"unreadable folder",
         {"/l", "sel", "out.txt"},
         "1700000000",
         true,
         3,
         "cannot read folder '" + (data / "locked").string() + "': Permission denied"},
        {"folder of the selection gone",
         {"/l", "gone", "out.txt"},
         "1700000000",
         false,
         3,
         "warning: gone.qls line 2: folder '" + dir.File("gone") + "' not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        if (c.locked)
            continue; // permission bits cannot lock a folder on Windows
#endif
        fs::permissions(data / "locked", c.locked ? fs::perms::none : fs::perms::owner_all);
        RunOptions options;
        options.asNobody = c.locked && RunningAsRoot();
        options.environment = {{"SOURCE_DATE_EPOCH", c.epoch}, {"TZ", "UTC"}, {"HOME", dir.File("home")}};
        if (options.asNobody)
            options.environment.emplace_back("XAUTHORITY", dir.File("xauth"));
        fs::remove(dir.File("out.txt"));
        const ProgramResult console = RunProgram(cli, c.args, dir.Path(), options);
        const std::string consoleListing =
            fs::exists(dir.File("out.txt")) ? ReadFile(dir.File("out.txt")) : "";
        fs::remove(dir.File("out.txt"));
        const ProgramResult window = RunProgram(gui, c.args, dir.Path(), options);
        const std::string windowListing =
            fs::exists(dir.File("out.txt")) ? ReadFile(dir.File("out.txt")) : "";

        EXPECT_EQ(console.exitCode, c.status) << console.err;
        EXPECT_EQ(window.exitCode, c.status) << window.err;
        const std::vector<std::string> told = ToldLines(console.err, "quillary-cli");
        EXPECT_NE(std::find(told.begin(), told.end(), c.told), told.end()) << console.err;
        EXPECT_EQ(ToldLines(window.err, "quillary"), told) << window.err;
        EXPECT_EQ(windowListing, consoleListing);
        EXPECT_EQ(windowListing.empty(), c.status == 1 || c.status == 2);
    }
    fs::permissions(data / "locked", fs::perms::owner_all);
}

// Without a display the program cannot show its window, not even for "/l": it says so and fails
// instead of crashing.
TEST(Unattended, WithoutADisplayTheProgramSaysSoAndFails) {
    if (RunningUnderWine())
        GTEST_SKIP() << "a program under Wine gets the display of Wine's desktop whatever its environment "
                        "says (scripts/build-windows.sh runs it without one before its X server starts)";
    ScratchDir dir;
    const std::string gui = InstallAlone(QUILLARY_GUI_PATH, dir, "quillary");
    const ProgramResult result = RunIn(dir, gui, {}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    // A failure status of its own: a crash would be negative (a signal, or 0xC0000005 on Windows).
    EXPECT_GT(result.exitCode, 0);
    EXPECT_NE(wxString::FromUTF8(result.err).Lower().Find("display"), wxNOT_FOUND) << result.err;
}

} // namespace
} // namespace quillary::test
