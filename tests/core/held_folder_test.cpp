// Folders held by a step of one name from a held folder, or one step up: never through a link, and up
// to where the held folder lies now.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/held_folder.h"
#include "support/scratch_dir.h"
#include "support/special_files.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

TEST(HeldFolderTest, AStepDownTakesOnlyARealFolderAndAStepUpFindsWhereTheFolderIsNow) {
    test::ScratchDir scratch;
    const fs::path top = scratch.Path() / "top";
    fs::create_directories(top / "sub");
    test::WriteFile(top / "file", "x");
    HeldFolder held, byPath;
    ASSERT_TRUE(held.Open(top.string(), false));
    ASSERT_TRUE(byPath.Open((top / "sub").string(), false));

    HeldFolder sub;
    ASSERT_TRUE(sub.OpenChild(held, "sub"));
    EXPECT_EQ(sub.Identity(), byPath.Identity());
    HeldFolder up;
    ASSERT_TRUE(up.OpenParent(sub));
    EXPECT_EQ(up.Identity(), held.Identity());

    HeldFolder refused;
    EXPECT_FALSE(refused.OpenChild(held, "file"));
    EXPECT_EQ(refused.Error(), ENOTDIR);
    EXPECT_FALSE(refused.OpenChild(held, "missing"));
    EXPECT_EQ(refused.Error(), ENOENT);
    if (test::MakeSymlink(top / "sub", top / "link", true)) {
        EXPECT_FALSE(refused.OpenChild(held, "link"));
        EXPECT_TRUE(refused.Error() == ELOOP || refused.Error() == ENOTDIR) << refused.Error();
    }

    if (test::kOnWindows)
        return; // a held folder cannot be moved there
    // Moved to another folder while held: one step up leads to the folder it is in now.
    const fs::path other = scratch.Path() / "other";
    fs::create_directories(other);
    fs::rename(top / "sub", other / "sub");
    HeldFolder otherHeld, moved;
    ASSERT_TRUE(otherHeld.Open(other.string(), false));
    ASSERT_TRUE(moved.OpenParent(sub));
    EXPECT_EQ(moved.Identity(), otherHeld.Identity());
}

} // namespace
} // namespace quillary
