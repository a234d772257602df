#include "services/wine_prefix_posix.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

struct LookupCase
{
    const char* name;
    const char* windowsPath;
    bool found;
};
void PrintTo(const LookupCase& test, std::ostream* out)
{
    *out << test.name;
}

class FileInWinePrefixTest : public ::testing::TestWithParam<LookupCase>
{
};

INSTANTIATE_TEST_SUITE_P(
    , FileInWinePrefixTest,
    ::testing::Values(
        LookupCase{"ThroughTheDrivesLink", R"(C:\Program Files\KaZaA Lite\klrun.exe)", true},
        LookupCase{"LetterCaseDiffering", R"(c:/PROGRAM FILES\kazaa lite\KLRUN.EXE)", true},
        LookupCase{"MissingFile", R"(C:\Program Files\KaZaA Lite\gone.exe)", false},
        LookupCase{"DriveWithoutLink", R"(D:\Program Files\KaZaA Lite\klrun.exe)", false}),
    [](const auto& info) { return info.param.name; });

TEST_P(FileInWinePrefixTest, FindsTheFileWhereWineDoes)
{
    // Drive C: lies in a folder that is not drive_c: only the link says where.
    test::TempFolder prefix;
    const fs::path folder = prefix / "windows-c" / "Program Files" / "KaZaA Lite";
    fs::create_directories(folder);
    test::writeFile(folder / "klrun.exe", "");
    fs::create_directory(prefix / "dosdevices");
    fs::create_directory_symlink("../windows-c", prefix / "dosdevices" / "c:");

    const fs::path expected =
        prefix / "dosdevices" / "c:" / "Program Files" / "KaZaA Lite" / "klrun.exe";
    EXPECT_EQ(fileInWinePrefix(prefix.path(), GetParam().windowsPath),
              GetParam().found ? expected : fs::path());
}

TEST(WinePrefix, IsWineprefixElseDotWineInTheHomeFolder)
{
    test::TempFolder home;
    const std::string previousHome = std::getenv("HOME");
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("WINEPREFIX", "/somewhere/prefix", 1);
    EXPECT_EQ(winePrefix(), "/somewhere/prefix");
    ::unsetenv("WINEPREFIX");
    EXPECT_EQ(winePrefix(), home / ".wine");
    ::setenv("HOME", previousHome.c_str(), 1);
}

} // namespace
} // namespace vorlund
