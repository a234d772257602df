#pragma once

#include "engine/file_mover.h"
#include "engine/pass_runner.h"
#include "services/settings_store.h"
#include "window/controls.h"
#include "window/failure_report.h"
#include "window/file_list_box.h"
#include "window/module1.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorlund {

// The download client that the program starts when its window is not open.
struct Client
{
    std::string title = "Kazaa Lite";
    std::string path = "C:\\Program Files\\KaZaA Lite\\klrun.exe";
};

// The controls that a front end makes for the window.
struct Form1Controls
{
    FormView& window;
    DriveListBox& Drive1;
    DriveListBox& Drive2;
    DirListBox& Dir1;
    DirListBox& Dir2;
    TextBox& Text1;
    TextBox& Text2;
};

// What the window takes from outside; tests replace each with their own.
struct Form1Services
{
    // The present date and time as the caption shows it.
    std::function<std::string()> presentDate;
    SettingsStore& settings;
    MsgBox msgBox;
    FileOps* fileOps = &systemFileOps();
    Client client;
};

// The program's one window, as both front ends share it: its handlers, and the pass's moves on a
// thread of their own. Its controls are the program's state: Dir1 is the download folder, Dir2
// the destination folder.
class Form1
{
public:
    Form1(Form1Controls controls, Form1Services services);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void Form_Load();
    // One pass; startPassUnlessOneRuns calls it, so that passes never overlap.
    void Timer1_Timer();
    void Dir1_Change();
    void Dir2_Change();
    void Drive1_Change();
    void Drive2_Change();

    // Timer1's tick handler: starts a pass, unless the last one still moves files; then it only
    // keeps the caption's time.
    void startPassUnlessOneRuns();
    // The window closes: a copy under way is broken off, its source kept.
    void Form_Unload();

private:
    enum Column { Download, Destination };

    // What a pass works on, as the window showed it at the tick.
    struct PassFolders
    {
        std::filesystem::path download;
        std::filesystem::path destination;
        bool held;
        // Where each column's volume was mounted when its folder was chosen, and which it was.
        std::array<std::filesystem::path, 2> mountPoints;
        std::array<std::optional<std::uint64_t>, 2> volumes;
    };

    void listAndMove(const PassFolders& folders);
    DirListBox& dirListOf(Column column);
    void rememberMountPoint(Column column);
    void refuseAnotherVolume(const PassFolders& folders);
    // Shows `text` in `box` on the window's thread.
    void show(TextBox& box, std::string text);
    void holdMovesUntilTheFoldersAreChosen(const std::string& storedDir1,
                                           const std::string& storedDir2);
    void endPass();
    void showProgress(const std::filesystem::path& file, std::uintmax_t copied,
                      std::uintmax_t total);
    std::string GetSetting(const std::string& key, const std::string& defaultValue);
    void SaveSetting(const std::string& key, const std::string& value);
    // The value start-up's handlers stored for `key`, while start-up keeps them; else none.
    std::string* keptLoadWrite(const std::string& key);
    void storeLoadWrites();
    void runSelectionHandler(Column column, void (Form1::*handler)());
    void report(const std::string& failure);
    void showFailures();

    FormView& m_window;
    DriveListBox& Drive1;
    DriveListBox& Drive2;
    DirListBox& Dir1;
    DirListBox& Dir2;
    // No lock guards File1..File3: outside a pass only the window's thread touches them, inside
    // one only the listing thread. The pass hands its listing to that thread after locking the
    // lists, so no selection handler (the only other user of File1) runs until the pass ends;
    // the window learns of the end through a task posted after the listing's last use, and the
    // next pass waits for that listing to end (a hand-over under a lock) before its own.
    // The download folder's media files: what a pass moves.
    FileListBox File1;
    // The destination's media files, only counted, for Text2.
    FileListBox File2{FileListBox::Keeps::CountOnly};
    // The download folder's partial downloads (*.dat), counted for Text1.
    FileListBox File3;
    TextBox& Text1;
    TextBox& Text2;

    std::string ClientTitle;
    std::string ClientPath;

    Form1Services m_services;
    FileMover m_mover;
    PassRunner m_pass;
    bool m_passRunning = false;
    FailureReport m_passFailures;
    std::string m_selectionFailure;
    // What start-up's handlers store, kept until the start-up is done; see Form_Load.
    std::optional<std::vector<std::pair<std::string, std::string>>> m_loadWrites;
    // Why a column's folder is one nobody chose; nothing moves while either holds a reason.
    std::array<std::string, 2> m_holds;
    // Where the volume of each column's chosen folder is mounted. Once nothing is mounted there,
    // the bare folder left under that path is not the one chosen: what went into it would be
    // hidden when the volume comes back.
    std::array<std::filesystem::path, 2> m_mountPoints;
    // The volume of each column's chosen folder, where the system names it lastingly: a drive
    // letter given to another USB stick must not take the files meant for the first.
    std::array<std::optional<std::uint64_t>, 2> m_volumes;
};

} // namespace vorlund
