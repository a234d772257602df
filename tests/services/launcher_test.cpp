#include "services/launcher.h"
#include "services/wine_prefix_posix.h"
#include "support/file_system.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;

// Read without quotes, "...\Program Files\client.exe" is first tried as "...\Program.exe".
TEST(StartProgram, StartsTheProgramAtItsWholePathShownMinimised)
{
    TempFolder folder;
    fs::create_directory(folder / "Program Files");
    fs::copy_file(VORLUND_FAKE_CLIENT, folder / "Program Files" / "client.exe");
    fs::copy_file(VORLUND_FAKE_CLIENT, folder / "Program.exe");

    startProgram(folder / "Program Files" / "client.exe", WindowStyle::MinimizedFocus);
    // The stand-in leaves a note beside itself, in a moment of its own.
    for (int i = 0; i < 1000 && !fs::exists(folder / "Program Files" / "started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
#ifdef _WIN32
    // Windows passes the window's first show to the program; 2 is SW_SHOWMINIMIZED.
    EXPECT_EQ(readFile(folder / "Program Files" / "started"), "started\nshow 2\n");
#else
    EXPECT_EQ(readFile(folder / "Program Files" / "started"), "started\n");
#endif
    EXPECT_FALSE(fs::exists(folder / "started")) << "the planted program ran";
}

#ifndef _WIN32
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
#endif

} // namespace
} // namespace vorlund::test
