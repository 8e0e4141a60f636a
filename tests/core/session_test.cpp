// The listing session: settings with their language, the output type from a name, the run target.
#include <gtest/gtest.h>

#include "model/form_state.h"
#include "res/controls.h"
#include "session/listing_session.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

TEST(SessionTest, OutputTypeFollowsTheExtensionOfTheOutputName) {
    FormState form;
    ListingSession session(form);
    EXPECT_TRUE(session.ChooseOutputTypeFromName("/x/list.HTM"));
    EXPECT_EQ(session.BuildRunTarget({}, "/x/list.HTM", false).options.m_nOutputType, kOutputHtml);
    EXPECT_TRUE(session.ChooseOutputTypeFromName("list.csv"));
    EXPECT_EQ(form.CheckState(kIdOutputCsv), 1);
    EXPECT_EQ(form.CheckState(kIdOutputHtml), 0);
    // Names without a known extension (or with a dot only in a folder name) change nothing.
    for (const char* name : {"list", "list.doc", "a.txt/list", "-"})
        EXPECT_FALSE(session.ChooseOutputTypeFromName(name)) << name;
    EXPECT_EQ(session.BuildRunTarget({"3|/x"}, "out", true).options.m_nOutputType, kOutputCsv);
}

TEST(SessionTest, RunTargetCarriesTheSelectionAndThePreviewFlag) {
    FormState form;
    ListingSession session(form);
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
    ListingSession session(form);
    const LoadedFile loaded = session.LoadSettingsFile(path);
    EXPECT_TRUE(loaded.read);
    EXPECT_EQ(loaded.window, "3|1|2|3|4|5|6|7|8");
    EXPECT_EQ(loaded.language, ""); // not installed: nothing applied
    EXPECT_EQ(session.BuildRunTarget({}, "x", false).options.m_strMask, "*.md");
    EXPECT_FALSE(session.LoadSettingsFile(scratch.File("missing.qlc")).read);
}

} // namespace
} // namespace quillary
