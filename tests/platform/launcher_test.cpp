#include "platform/launcher.h"
#include "platform/runtime_error.h"
#include "support/temp_folder.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

int startProgramError(const fs::path& path)
{
    try {
        startProgram(path, WindowStyle::MinimizedFocus);
    } catch (const RuntimeError& error) {
        EXPECT_NE(error.description().find(path.filename().string()), std::string::npos)
            << error.description();
        return error.number();
    }
    return 0;
}

TEST(StartProgram, StartsTheProgramAtAnAbsolutePath)
{
    test::TempFolder folder;
    const fs::path script = folder / "client with spaces.sh";
    std::ofstream(script) << "#!/bin/sh\necho started > '" << (folder / "started").string()
                          << "'\n";
    fs::permissions(script, fs::perms::owner_all);

    startProgram(script, WindowStyle::MinimizedFocus);

    // The program runs on its own; give it the moment it needs to leave its mark.
    for (int i = 0; i < 500 && test::readFile(folder / "started").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test::readFile(folder / "started"), "started\n");
}

TEST(StartProgram, RaisesWhenThereIsNoProgramToStart)
{
    test::TempFolder folder;
    test::writeFile(folder / "not-executable", "#!/bin/sh\n");
    fs::create_directory(folder / "a-folder");

    EXPECT_EQ(startProgramError(folder / "missing"), ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError(folder / "not-executable"), ErrorNumber::PermissionDenied);
    EXPECT_EQ(startProgramError(folder / "a-folder"), ErrorNumber::PermissionDenied);
}

TEST(StartProgram, NeverSearchesForAPathThatIsNotAbsolute)
{
    // Relative to the working folder, this would name a real program.
    test::TempFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    test::writeFile(folder / "program", "#!/bin/sh\ntouch ran\n");
    fs::permissions(folder / "program", fs::perms::owner_all);

    EXPECT_EQ(startProgramError("program"), ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError("C:\\Program Files\\KaZaA Lite\\klrun.exe"),
              ErrorNumber::FileNotFound);
    fs::current_path(previous);
    EXPECT_FALSE(fs::exists(folder / "ran"));
}

} // namespace
} // namespace vorlund
