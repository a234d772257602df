#include "engine/runtime_error.h"
#include "services/launcher.h"
#include "support/spellings.h"
#include "support/startup_show.h"
#include "support/temp_folder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

// A copy of the stand-in client (tests/support/fake_client.cpp), which leaves a note named
// "started" beside itself when it runs.
fs::path installFakeClient(const fs::path& as)
{
    fs::copy_file(VORLUND_FAKE_CLIENT, as);
    return as;
}

// The started program runs on its own; give it the moment it needs to leave its note.
std::string noteIn(const fs::path& folder)
{
    for (int i = 0; i < 1000 && !fs::exists(folder / "started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return test::readFile(folder / "started");
}

int startProgramError(const fs::path& path)
{
    try {
        startProgram(path, WindowStyle::MinimizedFocus);
    } catch (const RuntimeError& error) {
        EXPECT_NE(error.description().find(displayPath(path.filename())), std::string::npos)
            << error.description();
        return error.number();
    }
    return 0;
}

TEST(StartProgram, StartsTheProgramAtItsPathShownMinimised)
{
    test::TempFolder folder;
    fs::create_directory(folder / "client with spaces");
    const fs::path client = installFakeClient(folder / "client with spaces" / "client.exe");

    startProgram(client, WindowStyle::MinimizedFocus);

    // Windows passes the window's first show to the program; 2 is SW_SHOWMINIMIZED.
    EXPECT_EQ(noteIn(client.parent_path()),
              test::systemPassesWindowShow ? "started\nshow 2\n" : "started\n");
}

TEST(StartProgram, StartsTheProgramHoweverItsFolderIsSpelled)
{
    test::TempFolder folder;
    installFakeClient(folder / "client.exe");
    const bool caseIgnored = test::namesIgnoreCase(folder.path());
    for (const test::Spelling& spelling : test::folderSpellings()) {
        const fs::path spelled = spelling.spell(folder.path());
        if (spelled.empty() || (spelling.onlyWhereCaseIgnored && !caseIgnored))
            continue;
        fs::remove(folder / "started");

        startProgram(spelled / "client.exe", WindowStyle::MinimizedFocus);

        EXPECT_FALSE(noteIn(folder.path()).empty()) << spelling.name;
    }
}

TEST(StartProgram, NeverRunsAProgramPlantedWhereAnUnquotedPathWouldLead)
{
    // Read without quotes, "...\Program Files\client.exe" is first tried as "...\Program.exe".
    test::TempFolder folder;
    fs::create_directory(folder / "Program Files");
    const fs::path client = installFakeClient(folder / "Program Files" / "client.exe");
    installFakeClient(folder / "Program.exe");

    startProgram(client, WindowStyle::MinimizedFocus);

    EXPECT_FALSE(noteIn(client.parent_path()).empty());
    EXPECT_FALSE(fs::exists(folder / "started")) << "the planted program ran";
}

TEST(StartProgram, RaisesWhenThereIsNoProgramToStart)
{
    test::TempFolder folder;
    test::writeFile(folder / "not-a-program", "#!/bin/sh\n");
    fs::create_directory(folder / "a-folder");

    EXPECT_EQ(startProgramError(folder / "missing.exe"), ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError(folder / "missing-folder" / "client.exe"),
              ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError(folder / "not-a-program"), ErrorNumber::PermissionDenied);
    EXPECT_EQ(startProgramError(folder / "a-folder"), ErrorNumber::PermissionDenied);
}

TEST(StartProgram, NeverSearchesForAPathThatIsNotAbsolute)
{
    // Relative to the working folder, or on Windows to the current drive's, each of these would
    // name a real program.
    test::TempFolder folder;
    const fs::path previous = fs::current_path();
    installFakeClient(folder / "program");
    fs::current_path(folder.path());

    EXPECT_EQ(startProgramError("program"), ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError("C:program"), ErrorNumber::FileNotFound);
    EXPECT_EQ(startProgramError(fs::path("\\") / folder.path().relative_path() / "program"),
              ErrorNumber::FileNotFound);
    fs::current_path(previous);
    EXPECT_FALSE(fs::exists(folder / "started"));
}

} // namespace
} // namespace vorlund
