#include "support/file_system.h"
#include "window/window_fixture.h"

#include <atomic>
#include <future>
#include <thread>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;

TEST(Form1Pass, StampsTheCaptionAndCountsBeforeItMovesOnlyTheMediaFiles)
{
    Window window;
    window.loadedWithFolders();
    window.pass();
    EXPECT_EQ(window.view.caption, "Vorlund 6-12-2026 19:24:47");
    EXPECT_EQ(window.Text2.text, "0 files downloaded and moved");
    EXPECT_EQ(window.Text1.text, "0 downloads in progress.");

    for (const char* name : {"one.mp3", "TWO.JPG", "three.zip", "notes.txt"})
        writeFile(window.destination / name, "x");
    for (const char* name : {"a.dat", "b.dat", "a.mp3", "b.txt", "song.WMA", "clip.Mpg"})
        writeFile(window.download / name, name);
    window.pass();
    EXPECT_EQ(window.Text2.text, "3 files downloaded and moved");
    EXPECT_EQ(window.Text1.text, "2 downloads in progress.");
    for (const char* moved : {"a.mp3", "song.WMA", "clip.Mpg"})
        EXPECT_EQ(readFile(window.destination / moved), moved);
    for (const char* stays : {"a.dat", "b.dat", "b.txt"})
        EXPECT_TRUE(fs::exists(window.download / stays)) << stays;

    window.pass();
    EXPECT_EQ(window.Text2.text, "6 files downloaded and moved");
}

TEST(Form1Pass, AFileThatCannotMoveIsReportedWhileItLastsAndHoldsBackNoOther)
{
    Window window;
    window.loadedWithFolders();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        writeFile(window.download / name, name);
    window.ops.beforeRename = [](const fs::path& from, const fs::path&) {
        return from.filename() == "b.mp3" ? std::make_error_code(std::errc::permission_denied)
                                          : std::error_code();
    };
    for (int pass = 0; pass < 2; ++pass) {
        window.pass();
        EXPECT_TRUE(fs::exists(window.destination / "a.mp3"));
        EXPECT_TRUE(fs::exists(window.destination / "c.mp3"));
        EXPECT_TRUE(fs::exists(window.download / "b.mp3"));
        EXPECT_NE(window.view.failureLine.find("b.mp3"), std::string::npos)
            << window.view.failureLine;
    }
    window.ops.beforeRename = nullptr;
    window.pass();
    EXPECT_TRUE(fs::exists(window.destination / "b.mp3"));
    EXPECT_EQ(window.view.failureLine, "");
}

TEST(Form1Pass, AVanishedDownloadFolderIsReportedAndThePassesGoOn)
{
    Window window;
    window.loadedWithFolders();
    fs::remove(window.download);
    window.pass();
    EXPECT_NE(window.view.failureLine.find("download"), std::string::npos)
        << window.view.failureLine;

    fs::create_directory(window.download);
    writeFile(window.download / "a.mp3", "x");
    window.pass();
    EXPECT_TRUE(fs::exists(window.destination / "a.mp3"));
    EXPECT_EQ(window.view.failureLine, "");
}

// Windows' classic limit of 260 characters a path: the program sets none of its own.
TEST(Form1Pass, MovesBetweenFoldersDeeperThanTheClassicPathLimit)
{
    Window window;
    fs::path deep = window.root.path();
    for (int level = 0; level < 20; ++level)
        deep /= "a-folder-of-twenty-c";
    fs::create_directories(deep / "download");
    fs::create_directories(deep / "destination");
    writeFile(deep / "download" / "song.mp3", "x");
    window.form().Form_Load();
    window.Dir1.setPath(text(deep / "download"));
    window.Dir2.setPath(text(deep / "destination"));
    window.pass();
    EXPECT_EQ(readFile(deep / "destination" / "song.mp3"), "x");
    EXPECT_EQ(window.view.failureLine, "");
}

TEST(Form1Pass, TheSameFolderUnderAnotherSpellingMovesNothing)
{
    Window window;
    window.loadedWithFolders();
    writeFile(window.download / "a.mp3", "x");
    fs::path other = window.root / "link";
    if (!makeSymlink(window.download, other)) {
        if (!namesIgnoreCase(window.root.path()))
            GTEST_SKIP() << "neither links nor letter case give another spelling here";
        other = window.root / "DOWNLOAD";
    }
    window.Dir2.setPath(text(other));
    window.pass();
    EXPECT_EQ(window.Text2.text, "1 files downloaded and moved");
    EXPECT_EQ(readFile(window.download / "a.mp3"), "x");
}

// A copy across volumes, held at its first piece until the test lets it go.
struct HeldCopy
{
    explicit HeldCopy(Window& window)
    {
        writeFile(window.download / "album.zip", std::string(1 << 20, 'a'));
        window.ops.pretendOtherVolume = true;
        window.ops.duringCopy = [this](std::uintmax_t) {
            if (!m_told.exchange(true))
                started.set_value();
            released.wait();
        };
    }

    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();

private:
    std::atomic<bool> m_told{false};
};

TEST(Form1Pass, ALongCopyShowsHowFarItGotAndTicksMeanwhileStartNoOtherPass)
{
    Window window;
    window.loadedWithFolders();
    HeldCopy copy(window);
    window.form().Timer1_Tick();
    copy.started.get_future().wait();
    EXPECT_TRUE(window.view.locked);
    // The caption keeps time while the copy runs.
    window.now = "6-12-2026 19:24:48";
    window.form().Timer1_Tick();
    EXPECT_EQ(window.view.caption, "Vorlund 6-12-2026 19:24:48");

    copy.release.set_value();
    ASSERT_TRUE(window.view.runPostedUntil([&] { return !window.view.locked; }));
    EXPECT_EQ(readFile(window.destination / "album.zip").size(), std::size_t{1} << 20);
    EXPECT_FALSE(fs::exists(window.download / "album.zip"));
    EXPECT_EQ(window.view.progress, "");
}

TEST(Form1Pass, ClosingTheWindowBreaksOffACopyAndKeepsTheSource)
{
    Window window;
    window.loadedWithFolders();
    HeldCopy copy(window);
    window.form().Timer1_Tick();
    copy.started.get_future().wait();
    std::thread letGo([&] {
        // Once the window has asked the worker to stop, well before this.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        copy.release.set_value();
    });
    window.form().Form_Unload();
    letGo.join();
    EXPECT_EQ(readFile(window.download / "album.zip").size(), std::size_t{1} << 20);
    EXPECT_TRUE(fs::is_empty(window.destination)) << "no partial or temporary file left";
}

} // namespace
} // namespace vorlund::test
