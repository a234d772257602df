#include "engine/folder_identity.h"
#include "support/spellings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <ostream>

namespace vorlund::test {

void PrintTo(const Spelling& spelling, std::ostream* out)
{
    *out << spelling.name;
}

} // namespace vorlund::test

namespace vorlund {
namespace {

namespace fs = std::filesystem;

class SameDirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(folder / "sub");
        fs::create_directory(root / "other");
        test::writeFile(root / "file.mp3", "");
    }
    test::TempFolder root;
    // A space and capitals: a name with a short name and another letter case.
    fs::path folder = root / "Music Collection";
};

class SpellingTest : public SameDirectoryTest, public ::testing::WithParamInterface<test::Spelling>
{
};

INSTANTIATE_TEST_SUITE_P(, SpellingTest, ::testing::ValuesIn(test::folderSpellings()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(SpellingTest, DecidesByTheFolderNotItsSpelling)
{
    const fs::path spelled = GetParam().spell(folder);
    if (spelled.empty())
        GTEST_SKIP() << "no such spelling on this system";
    const bool same = !GetParam().onlyWhereCaseIgnored || test::namesIgnoreCase(root.path());

    EXPECT_EQ(sameDirectory(folder, spelled), same) << spelled;
    EXPECT_EQ(sameDirectory(spelled, folder), same) << spelled;
}

TEST_F(SameDirectoryTest, ALinkToTheFolderIsTheFolder)
{
    if (!test::makeSymlink(folder, root / "link"))
        GTEST_SKIP() << "cannot make symbolic links here";

    EXPECT_TRUE(sameDirectory(folder, root / "link"));
    EXPECT_TRUE(sameDirectory(root / "link", folder));
}

struct OtherPath
{
    const char* name;
    fs::path (*path)(const fs::path& folder);
};

class OtherPathTest : public SameDirectoryTest, public ::testing::WithParamInterface<OtherPath>
{
};

INSTANTIATE_TEST_SUITE_P(
    , OtherPathTest,
    ::testing::Values(
        OtherPath{"AnotherFolder", [](const fs::path& f) { return f.parent_path() / "other"; }},
        OtherPath{"ASubFolder", [](const fs::path& f) { return f / "sub"; }},
        OtherPath{"AMissingFolder", [](const fs::path& f) { return f.parent_path() / "missing"; }},
        OtherPath{"AFile", [](const fs::path& f) { return f.parent_path() / "file.mp3"; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(OtherPathTest, IsNotTheFolder)
{
    const fs::path other = GetParam().path(folder);

    EXPECT_FALSE(sameDirectory(folder, other));
    EXPECT_FALSE(sameDirectory(other, folder));
}

} // namespace
} // namespace vorlund
