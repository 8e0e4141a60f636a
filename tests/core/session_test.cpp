// The listing session: settings with their language, the program's files, the steps of an unattended
// run with their reports and exit status, the output type from a name, the run target.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "listing/output_type.h"
#include "model/form_state.h"
#include "platform/path_syntax.h"
#include "res/controls.h"
#include "session/listing_session.h"
#include "support/environment.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

// Program folders that hold nothing: the tests that use them read no program file.
ProgramLocations Nowhere() {
    return ProgramLocations::InDirectory(fs::temp_directory_path().string() + kPathSeparator +
                                         "quillary-none");
}

TEST(SessionTest, OutputTypeFollowsTheExtensionOfTheOutputName) {
    FormState form;
    ListingSession session(form, Nowhere());
    EXPECT_TRUE(session.ChooseOutputTypeFromName("/x/list.HTM"));
    EXPECT_EQ(session.BuildRunTarget({}, "/x/list.HTM", false).options.m_outputType, OutputType::Html);
    EXPECT_TRUE(session.ChooseOutputTypeFromName("list.csv"));
    EXPECT_EQ(form.CheckState(kIdOutputCsv), 1);
    EXPECT_EQ(form.CheckState(kIdOutputHtml), 0);
    // Names without a known extension (or with a dot only in a folder name) change nothing.
    for (const char* name : {"list", "list.doc", "a.txt/list", "-"})
        EXPECT_FALSE(session.ChooseOutputTypeFromName(name)) << name;
    EXPECT_EQ(session.BuildRunTarget({"3|/x"}, "out", true).options.m_outputType, OutputType::Csv);
}

TEST(SessionTest, RunTargetCarriesTheSelectionAndThePreviewFlag) {
    FormState form;
    ListingSession session(form, Nowhere());
    const RunTarget target = session.BuildRunTarget({"3|/a", "2|/b"}, "/o/list.txt", true);
    EXPECT_EQ(target.checkedDirs, (CheckedDirList{"3|/a", "2|/b"}));
    EXPECT_EQ(target.outputPath, "/o/list.txt");
    EXPECT_TRUE(target.previewRun);
    EXPECT_EQ(target.messages.Get(MSG_LISTING_TITLE), "Quillary listing");
}

TEST(SessionTest, SettingsFileAppliesTheLanguageItNames) {
    test::ScratchDir scratch;
    const std::string path = scratch.File("cfg.qlc");
    test::WriteFile(path, "[Settings]\n1064=*.md\nLanguage=NoSuchLanguage\nWindow=3|1|2|3|4|5|6|7|8\n");
    FormState form;
    ListingSession session(form, Nowhere());
    const LoadedFile loaded = session.LoadSettingsFile(path);
    EXPECT_TRUE(loaded.read);
    EXPECT_EQ(loaded.window, "3|1|2|3|4|5|6|7|8");
    EXPECT_FALSE(loaded.language); // not installed: nothing applied
    EXPECT_EQ(session.BuildRunTarget({}, "x", false).options.m_strMask, "*.md");
    EXPECT_FALSE(session.LoadSettingsFile(scratch.File("missing.qlc")).read);
}

// A session whose program folders are all one scratch folder.
struct ScratchSession {
    test::ScratchDir scratch;
    FormState form;
    ListingSession session{form, ProgramLocations::InDirectory(scratch.Path().string())};
};

TEST(SessionTest, ProgramFilesAreFoundInTheDataFoldersAndNamedFilesAsGiven) {
    ScratchSession s;
    test::WriteFile(s.scratch.File("beside.qlc"), "[Settings]\n");
    fs::create_directories(s.scratch.Path() / "sub");
    test::WriteFile(s.scratch.File("sub/given.qlc"), "[Settings]\n");
    const std::string sub = s.scratch.File("sub");
    struct Row {
        std::string name, found;
    } rows[] = {
        {"beside.qlc", s.scratch.File("beside.qlc")}, // a bare name not here: looked up in the data folder
        {s.scratch.File("sub/given.qlc"), s.scratch.File("sub/given.qlc")},
        {sub + kPathSeparator + "beside.qlc", ""}, // a name with a folder is never looked up elsewhere
        {"nowhere.qlc", ""},
        {"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(s.session.FindInputFile(row.name), row.found) << row.name;
    EXPECT_EQ(s.session.SettingsFilePath(), s.scratch.File(kSettingsFileName));
    EXPECT_EQ(s.session.RememberedSelectionPath(), s.scratch.File(kRememberedSelectionName));
    EXPECT_EQ(s.session.PreviewFilePath(OutputType::Html),
              s.scratch.File(std::string(kPreviewFileTitle) + ".html"));
    ProgramLocations noPreview = ProgramLocations::InDirectory(s.scratch.Path().string());
    noPreview.previewDir.clear();
    EXPECT_EQ(ListingSession(s.form, noPreview).PreviewFilePath(OutputType::Text), "");
}

TEST(SessionTest, LanguageInUseIsKeptEvenWhenItIsNotInstalled) {
    ScratchSession s;
    test::WriteFile(s.scratch.File("Mini.lng"), "[Messages]\n1=Dateien\n[600]\nCaption=&Datei\n");
    EXPECT_EQ(s.session.LanguageFile(), s.scratch.File("English.lng"));
    const std::optional<AppliedLanguage> applied = s.session.ApplyLanguage("Mini");
    ASSERT_TRUE(applied);
    EXPECT_EQ(applied->file, s.scratch.File("Mini.lng"));
    EXPECT_EQ(applied->menus.titles[0], "&Datei");
    EXPECT_EQ(s.session.Messages().Get(MSG_FILES), "Dateien");
    // Not installed: nothing changes, but it is the choice the settings keep.
    EXPECT_FALSE(s.session.ApplyLanguage("Klingon"));
    EXPECT_EQ(s.session.Messages().Get(MSG_FILES), "Dateien");
    EXPECT_EQ(s.session.LanguageFile(), s.scratch.File("Klingon.lng"));
    ASSERT_TRUE(s.session.SaveSettingsFile(s.scratch.File("saved.INI"), "1|2|3|4|5|6|7|8|9"));
    EXPECT_NE(test::ReadFile(s.scratch.File("saved.INI")).find("Language=Klingon"), std::string::npos);
}

TEST(SessionTest, UnattendedStepsStopWithTheExitStatusOfTheConsoleProgram) {
    ScratchSession s;
    test::WriteFile(s.scratch.File("cfg.qlc"), "[Settings]\n1064=*.md\n");
    LoadedFile loaded;
    EXPECT_FALSE(s.session.LoadConfiguration("cfg.qlc", loaded).Stops());
    EXPECT_TRUE(loaded.read);
    SessionReport report = s.session.LoadConfiguration("missing.qlc", loaded);
    EXPECT_EQ(report.exitStatus, kExitFailed);
    EXPECT_EQ(report.lines, (std::vector<std::string>{"cannot read the configuration file 'missing.qlc'"}));

    bool restored = false;
    const SelectionRestorer restore = [&](const std::string&) {
        restored = true;
        return RestoreReport();
    };
    report = s.session.RestoreSelection("nosel.qls", restore);
    EXPECT_FALSE(restored); // a file that is not there is not restored at all
    EXPECT_EQ(report.exitStatus, kExitFailed);
    EXPECT_EQ(report.lines, (std::vector<std::string>{"cannot read the selection file 'nosel.qls'"}));

    for (const char* value : {"abc", "-1", "253402300800"}) {
        test::SetEnvironment("SOURCE_DATE_EPOCH", value);
        EXPECT_EQ(s.session.CheckHeaderTime().exitStatus, kExitUsage) << value;
    }
    test::SetEnvironment("SOURCE_DATE_EPOCH", "0");
    EXPECT_FALSE(s.session.CheckHeaderTime().Stops());
    test::UnsetEnvironment("SOURCE_DATE_EPOCH");
    EXPECT_FALSE(s.session.CheckHeaderTime().Stops());
}

TEST(SessionTest, FoldersNotFoundInTheSelectionMakeAWrittenRunIncomplete) {
    ScratchSession s;
    test::WriteFile(s.scratch.File("sel.qls"), "3|" + s.scratch.File("gone") + "\n1|odd\n");
    CheckedDirList checkedDirs;
    const SessionReport report = s.session.RestoreSelection("sel.qls", [&](const std::string& path) {
        Selection selection = LoadSelectionFile(path);
        checkedDirs = selection.checkedDirs;
        return selection.report;
    });
    EXPECT_FALSE(report.Stops());
    ASSERT_EQ(report.lines.size(), 2u);
    EXPECT_EQ(report.lines[0].rfind(
                  "warning: sel.qls line 1: folder '" + s.scratch.File("gone") + "' not found", 0),
              0u)
        << report.lines[0];
    EXPECT_EQ(report.lines[1], "warning: sel.qls line 2 ignored (not a \"2|\" or \"3|\" entry): '1|odd'");
    RunResult written;
    written.status = RunStatus::Written;
    EXPECT_EQ(s.session.FinishRun(written).exitStatus, kExitIncomplete);
    // Named folders replace the selection and its count.
    EXPECT_FALSE(s.session.RestoreFolders({s.scratch.Path().string()}, checkedDirs).Stops());
    EXPECT_EQ(s.session.FinishRun(written).exitStatus, kExitOk);
}

TEST(SessionTest, RestoreReportsAreWordedAsTheUserNamedTheSelection) {
    RestoreReport unread;
    unread.fileRead = false;
    RestoreReport gone;
    gone.error = "the current folder is gone";
    RestoreReport named;
    named.issues.push_back({RestoreIssue::Kind::NotFound, 0, "/x/y", "No such file or directory"});
    named.issues.push_back({RestoreIssue::Kind::NotFound, 4, "/x/z", ""});
    struct Row {
        const RestoreReport& report;
        std::vector<std::string> lines;
        int exitStatus;
    } rows[] = {
        {unread, {"cannot read the selection file 's.qls'"}, kExitFailed},
        {gone, {"the current folder is gone"}, kExitFailed},
        {named,
         {"warning: folder '/x/y' not found: No such file or directory",
          "warning: s.qls line 4: folder '/x/z' not found"},
         kExitOk},
    };
    for (const Row& row : rows) {
        const SessionReport report = DescribeRestore(row.report, "s.qls");
        EXPECT_EQ(report.lines, row.lines);
        EXPECT_EQ(report.exitStatus, row.exitStatus);
    }
}

TEST(SessionTest, RunOutcomeGivesOneExitStatusAndAtMostTwentyProblemLines) {
    auto result = [](RunStatus status, std::size_t problems) {
        RunResult run;
        run.status = status;
        run.outputPath = "/o/list.txt";
        for (std::size_t i = 0; i < problems; ++i)
            run.problems.push_back(
                {ProblemKind::FolderUnreadable, "/d" + std::to_string(i), "Permission denied"});
        return run;
    };
    struct Row {
        RunStatus status;
        std::size_t problems, foldersMissing;
        int exitStatus;
        std::size_t lineCount;
        std::string lastLine;
    } rows[] = {
        {RunStatus::Written, 0, 0, kExitOk, 0, ""},
        {RunStatus::Written, 0, 1, kExitIncomplete, 0, ""},
        {RunStatus::Written, 1, 0, kExitIncomplete, 1, "cannot read folder '/d0': Permission denied"},
        {RunStatus::Written, 25, 0, kExitIncomplete, 21, "5 more problems not shown"},
        {RunStatus::Cancelled, 0, 0, kExitIncomplete, 0, ""},
        {RunStatus::OpenFailed, 0, 0, kExitFailed, 1, "cannot open the output file '/o/list.txt'"},
        {RunStatus::WriteFailed, 0, 0, kExitFailed, 1, "error while writing '/o/list.txt'"},
        {RunStatus::NoOutputPath, 0, 0, kExitFailed, 1, "no output file given"},
    };
    for (const Row& row : rows) {
        const SessionReport report = DescribeRun(result(row.status, row.problems), row.foldersMissing);
        EXPECT_EQ(report.exitStatus, row.exitStatus) << row.lastLine;
        ASSERT_EQ(report.lines.size(), row.lineCount) << row.lastLine;
        if (row.lineCount > 0) {
            EXPECT_EQ(report.lines.back(), row.lastLine);
        }
    }
    EXPECT_EQ(ProgramMessageLine("quillary", "a\x1b[2Jb"), "quillary: a?[2Jb\n");
}

} // namespace
} // namespace quillary
