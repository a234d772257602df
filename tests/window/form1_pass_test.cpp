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
    std::vector<std::string> media{"a.mp3", "song.WMA", "clip.Mpg"};
#ifndef _WIN32
    // Names as a client may write them: not UTF-8, a line break, pattern characters.
    media.insert(media.end(), {"caf\xe9.mp3", "new\nline.gif", "*[x]?.mp3"});
#endif
    for (const std::string& name : media)
        writeFile(window.download / name, name);
    for (const char* name : {"a.dat", "b.dat", "b.txt"})
        writeFile(window.download / name, name);
    window.pass();
    EXPECT_EQ(window.Text2.text, "3 files downloaded and moved");
    EXPECT_EQ(window.Text1.text, "2 downloads in progress.");
    for (const std::string& moved : media)
        EXPECT_EQ(readFile(window.destination / moved), moved);
    for (const char* stays : {"a.dat", "b.dat", "b.txt"})
        EXPECT_TRUE(fs::exists(window.download / stays)) << stays;

    window.pass();
    EXPECT_EQ(window.Text2.text, std::to_string(3 + media.size()) + " files downloaded and moved");
}

TEST(Form1Pass, AFailureIsReportedWhileItLastsAndHoldsBackNoOtherFile)
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
        EXPECT_NE(window.view.failureLine.find("b.mp3"), std::string::npos);
    }
    window.ops.beforeRename = nullptr;
    fs::rename(window.download, window.root / "away");
    window.pass();
    EXPECT_NE(window.view.failureLine.find("download"), std::string::npos);

    fs::rename(window.root / "away", window.download);
    window.pass();
    EXPECT_EQ(readFile(window.destination / "b.mp3"), "b.mp3");
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

// A copy across volumes, held at its first piece: the caption keeps time meanwhile, and the file
// ends whole in one folder whether the copy is let go or the window closes.
TEST(Form1Pass, ALongCopyKeepsTheCaptionTickingAndEndsWholeOrNotAtAll)
{
    for (const bool closed : {false, true}) {
        Window window;
        window.loadedWithFolders();
        writeFile(window.download / "album.zip", std::string(1 << 20, 'a'));
        std::promise<void> started;
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> told{false};
        window.ops.pretendOtherVolume = true;
        window.ops.duringCopy = [&](std::uintmax_t) {
            if (!told.exchange(true))
                started.set_value();
            released.wait();
        };
        window.form().Timer1_Tick();
        started.get_future().wait();
        EXPECT_TRUE(window.view.locked);
        window.now = "6-12-2026 19:24:48";
        window.form().Timer1_Tick();
        EXPECT_EQ(window.view.caption, "Vorlund 6-12-2026 19:24:48");

        const fs::path kept = closed ? window.download : window.destination;
        if (closed) {
            std::thread letGo([&] {
                // Once the window has asked the copy to stop, well before this.
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                release.set_value();
            });
            window.form().Form_Unload();
            letGo.join();
        } else {
            release.set_value();
            ASSERT_TRUE(window.view.runPostedUntil([&] { return !window.view.locked; }));
            EXPECT_EQ(window.view.progress, "");
        }
        EXPECT_EQ(readFile(kept / "album.zip").size(), std::size_t{1} << 20);
        EXPECT_EQ(fs::exists(window.download / "album.zip"), closed);
        EXPECT_EQ(fs::is_empty(window.destination), closed) << "no partial or temporary file";
    }
}

} // namespace
} // namespace vorlund::test
