#include "engine/folder_identity.h"
#include "support/spellings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

TEST(SameDirectory, DecidesByTheFolderNotItsSpelling)
{
    test::TempFolder root;
    // A space and capitals: a name with a short name and another letter case.
    const fs::path folder = root / "Music Collection";
    fs::create_directories(folder / "sub");
    fs::create_directory(root / "other");
    test::writeFile(root / "file.mp3", "");
    const bool caseIgnored = test::namesIgnoreCase(root.path());

    for (const test::Spelling& spelling : test::folderSpellings()) {
        const fs::path spelled = spelling.spell(folder);
        if (spelled.empty())
            continue;
        const bool same = !spelling.onlyWhereCaseIgnored || caseIgnored;
        EXPECT_EQ(sameDirectory(folder, spelled), same) << spelled;
        EXPECT_EQ(sameDirectory(spelled, folder), same) << spelled;
    }
    if (test::makeSymlink(folder, root / "link")) {
        EXPECT_TRUE(sameDirectory(root / "link", folder));
    }
    for (const fs::path& other :
         {root / "other", folder / "sub", root / "missing", root / "file.mp3"}) {
        EXPECT_FALSE(sameDirectory(folder, other)) << other;
        EXPECT_FALSE(sameDirectory(other, folder)) << other;
    }
}

} // namespace
} // namespace vorlund
