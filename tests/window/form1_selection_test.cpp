#include "window/window_fixture.h"

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Keys = std::vector<std::string>;

// On a first run, or with stored choices that no longer fit, both lists show the working folder:
// nothing moves, nothing is stored, nothing is reported.
TEST(Form1Selection, AFirstRunOrStoredChoicesThatNoLongerFitMoveAndStoreNothing)
{
    for (const bool stored : {false, true}) {
        Window window;
        if (stored)
            window.settings.values = {{"Drive1", "Q:\\"}, {"Dir1", ""}, {"Drive2", "\x01\xff"}};
        writeFile(window.working / "song.mp3", "x");
        window.form().Form_Load();
        window.pass();
        EXPECT_EQ(window.Drive1.Drive(), text(window.driveA));
        EXPECT_EQ(window.Dir1.Path(), fs::current_path());
        EXPECT_EQ(window.Dir2.Path(), fs::current_path());
        EXPECT_TRUE(fs::exists(window.working / "song.mp3"));
        EXPECT_EQ(window.Text2.text, "1 files downloaded and moved");
        EXPECT_EQ(window.view.failureLine, "");
        EXPECT_EQ(window.settings.written, Keys{});
    }
}

TEST(Form1Selection, StartUpRestoresTheStoredDrivesAndFoldersAndTheHandlersStoreWhatTheySee)
{
    Window window;
    fs::create_directory(window.driveB / "incoming");
    window.settings.values = {{"Drive1", text(window.driveB)},
                              {"Dir1", text(window.driveB / "incoming")},
                              {"Dir2", text(window.destination)}};
    writeFile(window.driveB / "incoming" / "a.mp3", "x");
    window.form().Form_Load();

    EXPECT_EQ(window.Drive1.Drive(), text(window.driveB));
    EXPECT_EQ(window.settings.values["Dir1"], text(window.driveB / "incoming"));
    // The drive's handler stores the drive's folder first, then the restored folder lands.
    EXPECT_EQ(window.settings.written, (Keys{"Dir1", "Drive1", "Dir1", "Dir2"}));
    window.pass();
    EXPECT_TRUE(fs::exists(window.destination / "a.mp3"));
}

// A column whose stored folder is gone stays on the working folder, which nobody chose: nothing
// moves out of it or into it until that column's own folder is chosen again.
TEST(Form1Selection, AGoneFolderHoldsTheMovesUntilItsOwnColumnIsChosen)
{
    for (const bool downloadGone : {true, false}) {
        SCOPED_TRACE(downloadGone ? "download folder gone" : "destination folder gone");
        Window window;
        const fs::path gone = window.root / "gone";
        window.settings.values = {{"Dir1", text(downloadGone ? gone : window.download)},
                                  {"Dir2", text(downloadGone ? window.destination : gone)}};
        writeFile(window.working / "not-a-download.mp3", "x");
        writeFile(window.download / "a.mp3", "x");
        fs::create_directory(window.root / "other");
        window.form().Form_Load();
        window.pass();
        EXPECT_NE(window.view.failureLine.find(text(gone)), std::string::npos);

        DirListBox& own = downloadGone ? static_cast<DirListBox&>(window.Dir1) : window.Dir2;
        DirListBox& other = downloadGone ? static_cast<DirListBox&>(window.Dir2) : window.Dir1;
        other.setPath(text(window.root / "other"));
        window.pass();
        EXPECT_TRUE(fs::exists(window.working / "not-a-download.mp3"));
        EXPECT_TRUE(fs::is_empty(window.root / "other"));
        EXPECT_NE(window.view.failureLine.find(text(gone)), std::string::npos);

        other.setPath(text(downloadGone ? window.destination : window.download));
        own.setPath(text(downloadGone ? window.download : window.destination));
        window.pass();
        EXPECT_TRUE(fs::exists(window.destination / "a.mp3"));
        EXPECT_TRUE(fs::exists(window.working / "not-a-download.mp3"));
        EXPECT_EQ(window.view.failureLine, "");
    }
}

TEST(Form1Selection, EachChoiceIsStoredAtOnceTheFolderBeforeItsDriveAndTheSameDriveNothing)
{
    Window window;
    window.loadedWithFolders();
    window.settings.written.clear();
    fs::create_directory(window.download / "sub");
    writeFile(window.download / "sub" / "a.mp3", "x");

    window.Dir1.setPath(text(window.download / "sub"));
    EXPECT_EQ(window.settings.values["Dir1"], text(window.download / "sub"));
    window.Drive2.setDrive(text(window.driveB));
    EXPECT_EQ(window.Dir2.Path(), fs::path(text(window.driveB)));
    window.Drive2.setDrive(text(window.driveB));
    EXPECT_EQ(window.settings.written, (Keys{"Dir1", "Dir2", "Drive2"}));
    // The download list follows its folder before any pass.
    window.pass();
    EXPECT_TRUE(fs::exists(window.driveB / "a.mp3"));
}

TEST(Form1Selection, AnUnwritableStoreLosesNoSelectionAndOnlyTheDriveHandlerSaysSo)
{
    Window window;
    window.loadedWithFolders();
    window.settings.readOnly = true;
    window.Dir1.setPath(text(window.driveA));
    EXPECT_EQ(window.view.failureLine, "");
    window.Drive2.setDrive(text(window.driveB));
    EXPECT_EQ(window.Dir2.Path(), fs::path(text(window.driveB)));
    EXPECT_NE(window.view.failureLine.find("Drive2"), std::string::npos) << window.view.failureLine;
}

} // namespace
} // namespace vorlund::test
