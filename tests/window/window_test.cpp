#include "engine/folder_reads.h"
#include "engine/path_text.h"
#include "support/faulty_ops.h"
#include "support/file_system.h"
#include "support/plain_controls.h"
#include "support/titled_window.h"
#include "window/error_trap.h"
#include "window/form1.h"
#include "window/module1.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <thread>
#include <tuple>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Keys = std::vector<std::string>;

std::string text(const fs::path& path)
{
    return pathText(path.lexically_normal().make_preferred());
}

// Makes `folder` the working folder, and gives the one before.
fs::path enter(const fs::path& folder)
{
    fs::path before = fs::current_path();
    fs::create_directories(folder);
    fs::current_path(folder);
    return before;
}

// The window's logic over plain controls, fresh folders, a store in memory, and two drives.
class Window
{
public:
    Window()
    {
        for (const auto& folder : {download, destination, driveA, driveB})
            fs::create_directories(folder);
    }
    // Windows removes no folder that is some process's working folder.
    ~Window() { fs::current_path(earlierWorkingFolder); }

    Form1& form()
    {
        if (!m_form)
            m_form = std::make_unique<Form1>(
                Form1Controls{view, Drive1, Drive2, Dir1, Dir2, Text1, Text2},
                Form1Services{[this] { return now; }, settings,
                              [](const std::string&, MsgBoxStyle, const std::string&) {}, &ops,
                              Client{"vorlund test client", ""}});
        return *m_form;
    }
    // Loads the window and chooses the two folders, as a user would on a first run.
    void loadWithFolders()
    {
        form().Form_Load();
        Dir1.setPath(text(download));
        Dir2.setPath(text(destination));
    }
    // The program started again over the same store, its lists where a new window opens them.
    void restart()
    {
        m_form.reset();
        Drive1.drive = Drive2.drive = Drive1.drives.front();
        Dir1.path = Dir2.path = folderToOpen("");
        form().Form_Load();
    }
    // A tick of Timer1 and the moves it starts.
    void pass()
    {
        form().startPassUnlessOneRuns();
        ASSERT_TRUE(view.runPostedUntil([this] { return !view.locked; })) << "the pass never ended";
    }

    TempFolder root;
    // Deeper than Windows' classic limit of 260 characters, which the program does not keep.
    fs::path download = root / std::string(130, 'd') / std::string(130, 'd') / "download";
    fs::path destination = download.parent_path() / "destination";
    fs::path working = root / "working";
    fs::path driveA = root / "driveA";
    fs::path driveB = root / "driveB";
    fs::path earlierWorkingFolder = enter(working);
    FaultyOps ops;
    MemorySettings settings;
    PlainView view;
    PlainDriveList Drive1{{text(driveA), text(driveB)}};
    PlainDriveList Drive2{{text(driveA), text(driveB)}};
    PlainDirList Dir1;
    PlainDirList Dir2;
    PlainTextBox Text1;
    PlainTextBox Text2;
    std::string now = "6-12-2026 19:24:47";

private:
    std::unique_ptr<Form1> m_form;
};

TEST(Form1Pass, StampsTheCaptionAndCountsBeforeItMovesOnlyTheMediaFiles)
{
    Window window;
    window.loadWithFolders();
    window.pass();
    EXPECT_EQ(window.view.caption, "Vorlund 6-12-2026 19:24:47");
    EXPECT_EQ(window.Text2.text, "0 files downloaded and moved");
    EXPECT_EQ(window.Text1.text, "0 downloads in progress.");

    for (const char* name : {"one.mp3", "TWO.JPG", "three.zip", "notes.txt", "part.dat"})
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

// A file that cannot move, then a folder gone, are reported while they last and hold back nothing
// else: once another folder is chosen in the gone one's column, passes count and move between the
// folders now chosen.
TEST(Form1Pass, AFailureIsReportedWhileItLastsAndHoldsBackNothingElse)
{
    for (const bool downloadGone : {true, false}) {
        SCOPED_TRACE(downloadGone ? "download folder gone" : "destination folder gone");
        Window window;
        window.loadWithFolders();
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            writeFile(window.download / name, name);
        window.ops.beforeRename = [](const fs::path& from) {
            return from.filename() == "b.mp3" ? std::make_error_code(std::errc::permission_denied)
                                              : std::error_code();
        };
        window.pass();
        EXPECT_TRUE(fs::exists(window.destination / "c.mp3"));
        EXPECT_NE(window.view.failureLine.find("b.mp3"), std::string::npos);

        window.ops.beforeRename = nullptr;
        const fs::path gone = downloadGone ? window.download : window.destination;
        fs::rename(gone, window.root / "away");
        window.pass();
        EXPECT_NE(window.view.failureLine.find(text(gone)), std::string::npos);
        const fs::path other = window.root / "other";
        fs::create_directory(other);
        (downloadGone ? window.Dir1 : window.Dir2).setPath(text(other));
        writeFile((downloadGone ? other : window.download) / "d.mp3", "d");
        window.pass();
        window.pass();
        EXPECT_EQ(readFile((downloadGone ? window.destination : other) / "d.mp3"), "d");
        EXPECT_EQ(window.Text2.text,
                  downloadGone ? "3 files downloaded and moved" : "2 files downloaded and moved");
        EXPECT_EQ(window.view.failureLine, "");
    }
}

// A copy across volumes, held at its first piece until it is let go or the window closes.
TEST(Form1Pass, ALongCopyKeepsTheCaptionTickingAndEndsWholeOrNotAtAll)
{
    for (const bool closed : {false, true}) {
        Window window;
        window.loadWithFolders();
        writeFile(window.download / "album.zip", std::string(1 << 20, 'a'));
        std::promise<void> started;
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> told{false};
        window.ops.pretendOtherVolume = true;
        window.ops.duringCopy = [&] {
            if (!told.exchange(true))
                started.set_value();
            released.wait_for(std::chrono::seconds(10)); // a failed test ends, never hangs
        };
        window.form().startPassUnlessOneRuns();
        ASSERT_EQ(started.get_future().wait_for(std::chrono::seconds(10)),
                  std::future_status::ready)
            << "the copy never started";
        EXPECT_TRUE(window.view.locked);
        window.now = "6-12-2026 19:24:48";
        window.form().startPassUnlessOneRuns();
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
        std::error_code ec; // an empty folder, no partial or temporary file in it, can go
        EXPECT_EQ(fs::remove(window.destination, ec), closed);
    }
}

// Start-up restores the stored drives and folders, and stores only what it changed. Each folder
// is read once, for its list, its
// file lists and its count. A column whose stored folder is gone, or that has none stored, stays
// on a folder nobody chose (its drive's, the working folder): nothing moves out of it or into it
// until that column's own folder is chosen, also after a restart.
TEST(Form1Selection, StartUpRestoresTheChoicesAndAnUnchosenFolderHoldsTheMovesUntilChosen)
{
    enum Held { DownloadGone, DestinationGone, DestinationNeverChosen };
    for (const Held held : {DownloadGone, DestinationGone, DestinationNeverChosen}) {
        SCOPED_TRACE(held);
        const bool downloadGone = held == DownloadGone;
        Window window;
        const fs::path gone = window.root / "gone";
        window.settings.values = {{"Drive1", text(window.driveB)},
                                  {"Drive2", text(window.driveB)},
                                  {"Dir1", text(downloadGone ? gone : window.download)}};
        if (held != DestinationNeverChosen)
            window.settings.values["Dir2"] = text(downloadGone ? window.destination : gone);
        const std::string why = held == DestinationNeverChosen ? "no folder chosen" : text(gone);
        writeFile(window.driveB / "not-a-download.mp3", "x");
        writeFile(window.download / "a.mp3", "x");
        fs::create_directory(window.root / "other");
        const int reads = folderReads().reads();
        window.form().Form_Load();
        // Nothing changed: a crash midway, before the stored folders were restored, would have left
        // a drive's folder stored for a choice.
        EXPECT_EQ(window.settings.written, Keys{});
        window.restart();
        window.pass();
        EXPECT_NE(window.view.failureLine.find(why), std::string::npos);
        const std::set<fs::path> shown{window.Dir1.path, window.Dir2.path,
                                       folderToOpen(text(window.driveB))};
        EXPECT_EQ(folderReads().reads() - reads, int(shown.size())) << "a folder read twice";

        DirListBox& own = downloadGone ? static_cast<DirListBox&>(window.Dir1) : window.Dir2;
        DirListBox& other = downloadGone ? static_cast<DirListBox&>(window.Dir2) : window.Dir1;
        other.setPath(text(window.root / "other"));
        window.pass();
        EXPECT_TRUE(fs::exists(window.download / "a.mp3"));
        EXPECT_TRUE(fs::is_empty(window.root / "other"));
        EXPECT_NE(window.view.failureLine.find(why), std::string::npos);

        other.setPath(text(downloadGone ? window.destination : window.download));
        own.setPath(text(downloadGone ? window.download : window.destination));
        window.pass();
        EXPECT_TRUE(fs::exists(window.destination / "a.mp3"));
        EXPECT_TRUE(fs::exists(window.driveB / "not-a-download.mp3"));
        EXPECT_EQ(window.view.failureLine, "");
    }
}

// The folder is stored before its drive; only the drive's handler reports an unwritable store.
TEST(Form1Selection, EachChoiceIsStoredAtOnceAndAnUnwritableStoreLosesNone)
{
    Window window;
    window.loadWithFolders();
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

    window.settings.readOnly = true;
    window.Dir1.setPath(text(window.driveA));
    EXPECT_EQ(window.view.failureLine, "");
    window.Drive2.setDrive(text(window.driveA));
    EXPECT_EQ(window.Dir2.Path(), fs::path(text(window.driveA)));
    EXPECT_NE(window.view.failureLine.find("Drive2"), std::string::npos) << window.view.failureLine;
}

TEST(Module1, ReportErrorDescribesTheCaughtErrorAsTheClassicRuntimeDid)
{
    for (const auto& [number, expected] :
         {std::pair{5, "Error #  5 was generated by vorlund\r\nno display"},
          std::pair{-2, "Error # -2 was generated by vorlund\r\nno display"}}) {
        trapInto([&] { throw RuntimeError(number, "no display"); }, [](const RuntimeError&) {});
        std::string shown;
        ReportError("Kazaa Lite", "IsTaskRunning",
                    [&](const std::string& prompt, MsgBoxStyle style, const std::string& title) {
                        shown +=
                            prompt + " | " + title + (style == vbCritical ? " | critical" : "");
                    });
        EXPECT_EQ(shown, std::string(expected) + " | Kazaa Lite IsTaskRunning | critical");
    }
}

// Each case makes a real window, on the display the test runs on: Xvfb, or Wine's desktop on one.
TEST(Module1, IsTaskRunningFindsOnlyTheWholeTitleIgnoringCaseAndLeavesItUnchanged)
{
    int boxes = 0;
    const MsgBox count = [&](const std::string&, MsgBoxStyle, const std::string&) { ++boxes; };
    for (const auto& [shown, asked, running] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"vorlund probe Kazaa Lite", "vorlund probe Kazaa Lite", true},
             {"VORLUND PROBE kazaa lite", "vorlund probe Kazaa Lite", true},
             {"vorlund probe ÅNGSTRÖM", "vorlund probe ångström", true},
             {"vorlund probe Kazaa Lite - connected", "vorlund probe Kazaa Lite", false},
             {"vorlund probe Kazaa Lite", "vorlund probe Kazaa", false}}) {
        const TitledWindow window(shown);
        std::string title = asked;
        EXPECT_EQ(IsTaskRunning(title, count), running) << shown << " / " << asked;
        EXPECT_EQ(title, asked);
    }
    EXPECT_EQ(boxes, 0);
}

} // namespace
} // namespace vorlund::test
