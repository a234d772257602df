#include "platform/folder_identity.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

struct Spelling
{
    const char* name;
    std::function<fs::path(const fs::path& folder)> spell;
    bool same;
};

class SameDirectoryTest : public ::testing::TestWithParam<Spelling>
{
protected:
    void SetUp() override
    {
        fs::create_directories(root / "music" / "sub");
        fs::create_directory(root / "other");
        fs::create_directory_symlink(root / "music", root / "link");
        test::writeFile(root / "file.mp3", "");
    }
    test::TempFolder root;
};

TEST_P(SameDirectoryTest, DecidesByTheFolderNotItsSpelling)
{
    const fs::path music = root / "music";
    EXPECT_EQ(sameDirectory(music, GetParam().spell(music)), GetParam().same);
    EXPECT_EQ(sameDirectory(GetParam().spell(music), music), GetParam().same);
}

const Spelling spellings[] = {
    {"Itself", [](const fs::path& f) { return f; }, true},
    {"TrailingSeparator", [](const fs::path& f) { return fs::path(f.string() + "/"); }, true},
    {"DoubledSeparators",
     [](const fs::path& f) { return fs::path(f.parent_path().string() + "//music//"); }, true},
    {"DotDot", [](const fs::path& f) { return f / "sub" / ".."; }, true},
    {"Dot", [](const fs::path& f) { return f / "."; }, true},
    {"SymbolicLink", [](const fs::path& f) { return f.parent_path() / "link"; }, true},
    {"AnotherFolder", [](const fs::path& f) { return f.parent_path() / "other"; }, false},
    {"ASubFolder", [](const fs::path& f) { return f / "sub"; }, false},
    {"AMissingFolder", [](const fs::path& f) { return f.parent_path() / "missing"; }, false},
    {"AFile", [](const fs::path& f) { return f.parent_path() / "file.mp3"; }, false},
};

INSTANTIATE_TEST_SUITE_P(, SameDirectoryTest, ::testing::ValuesIn(spellings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorlund
