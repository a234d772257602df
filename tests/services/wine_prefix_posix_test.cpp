#include "services/wine_prefix_posix.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;

TEST(WinePrefix, FindsTheClientWhereWineDoes)
{
    // Drive C: lies in a folder that is not drive_c: only the link says where.
    TempFolder prefix;
    fs::create_directories(prefix / "windows-c" / "Program Files" / "KaZaA Lite");
    writeFile(prefix / "windows-c" / "Program Files" / "KaZaA Lite" / "klrun.exe", "");
    fs::create_directory(prefix / "dosdevices");
    fs::create_directory_symlink("../windows-c", prefix / "dosdevices" / "c:");
    const fs::path found =
        prefix / "dosdevices" / "c:" / "Program Files" / "KaZaA Lite" / "klrun.exe";
    for (const auto& [windowsPath, expected] : std::vector<std::pair<const char*, fs::path>>{
             {R"(C:\Program Files\KaZaA Lite\klrun.exe)", found},
             {R"(c:/PROGRAM FILES\kazaa lite\KLRUN.EXE)", found},
             {R"(C:\Program Files\KaZaA Lite\gone.exe)", {}},
             {R"(D:\Program Files\KaZaA Lite\klrun.exe)", {}}}) {
        EXPECT_EQ(fileInWinePrefix(prefix.path(), windowsPath), expected) << windowsPath;
    }
}

} // namespace
} // namespace vorlund::test
