// Drives the real vorlund.exe from outside, its selections in the Wine session's registry.
#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "engine/utf16_win32.h"
#include "services/registry_store.h"
#include "support/file_system.h"
#include "win32/control_ids.h"
#include "window/layout.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <oleacc.h>
#include <thread>
#include <vector>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using namespace vorlund::win32;

// Polls until `done`: a loaded machine may take long.
bool eventually(const std::function<bool()>& done)
{
    for (int wait = 0; wait < 3000 && !done(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

std::string textOf(HWND hwnd)
{
    wchar_t text[512] = {};
    ::SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return toUtf8(text);
}

// vorlund.exe, running in `workingFolder`; ended by force should a test leave it running.
class Program
{
public:
    explicit Program(const fs::path& workingFolder)
    {
        const fs::path program = VORLUND_EXE;
        std::wstring commandLine = L"\"" + program.native() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, workingFolder.c_str(), &startup, &m_process))
            throw fileError({int(::GetLastError()), std::system_category()}, "cannot start");
        ::CloseHandle(m_process.hThread);
    }
    ~Program()
    {
        ::TerminateProcess(m_process.hProcess, 1);
        ::WaitForSingleObject(m_process.hProcess, INFINITE);
        ::CloseHandle(m_process.hProcess);
    }

    DWORD id() const { return m_process.dwProcessId; }
    // The program's window, found by its class: one program runs at a time.
    HWND window() const { return ::FindWindowW(L"vorlund Form1", nullptr); }
    std::string caption() const { return textOf(window()); }
    HWND control(ControlId id) const { return ::GetDlgItem(window(), id); }
    // A notification as the control sends it when the user works it.
    void notify(ControlId id, WORD code) const
    {
        ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(id, code),
                       reinterpret_cast<LPARAM>(control(id)));
    }
    // Closes the window as its close box does; the exit code, or -1 when the program runs on.
    DWORD close() const
    {
        ::PostMessageW(window(), WM_CLOSE, 0, 0);
        DWORD code = DWORD(-1);
        if (::WaitForSingleObject(m_process.hProcess, 60000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_process{};
};

// What the processes of the session send to a debugger-output viewer (as DebugView reads it),
// while this lives.
class DebugOutput
{
public:
    DebugOutput()
        : m_mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                         L"DBWIN_BUFFER")),
          m_bufferReady(::CreateEventW(nullptr, FALSE, TRUE, L"DBWIN_BUFFER_READY")),
          m_dataReady(::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")),
          m_buffer(static_cast<const char*>(::MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0))),
          m_reader([this] { read(); })
    {}
    ~DebugOutput()
    {
        m_stop = true;
        m_reader.join();
        ::UnmapViewOfFile(m_buffer);
        for (const HANDLE handle : {m_mapping, m_bufferReady, m_dataReady})
            ::CloseHandle(handle);
    }
    std::string of(DWORD process)
    {
        const std::lock_guard lock(m_mutex);
        return m_lines[process];
    }

private:
    void read()
    {
        while (!m_stop) {
            if (::WaitForSingleObject(m_dataReady, 50) != WAIT_OBJECT_0)
                continue;
            DWORD process = 0;
            std::memcpy(&process, m_buffer, sizeof process);
            {
                const std::lock_guard lock(m_mutex);
                m_lines[process] += m_buffer + sizeof process;
            }
            ::SetEvent(m_bufferReady);
        }
    }

    HANDLE m_mapping, m_bufferReady, m_dataReady;
    const char* m_buffer;
    std::mutex m_mutex;
    std::map<DWORD, std::string> m_lines;
    std::atomic<bool> m_stop = false;
    std::thread m_reader;
};

std::string today()
{
    wchar_t date[80] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80,
                      nullptr);
    return toUtf8(date);
}

// Fresh folders chosen in the registry, and a stand-in client where the program looks for one.
class VorlundExe : public ::testing::Test
{
protected:
    VorlundExe()
    {
        for (const fs::path& folder : {download, destination, destination / "sub", working})
            fs::create_directories(folder);
        for (const char* key : {"Drive1", "Drive2"})
            store.SaveSetting("vlund", "Startup", key, pathText(folder.path().root_path()));
        store.SaveSetting("vlund", "Startup", "Dir1", pathText(download));
        store.SaveSetting("vlund", "Startup", "Dir2", pathText(destination));
        fs::remove_all(clientFolder);
        fs::create_directories(clientFolder);
        fs::copy_file(VORLUND_FAKE_CLIENT, clientFolder / "klrun.exe");
    }
    std::string stored(const std::string& key)
    {
        return store.GetSetting("vlund", "Startup", key, "");
    }

    TempFolder folder;
    const fs::path download = folder / "download";
    // Longer than the failure line has room for.
    const fs::path destination = folder / ("destination of " + std::string(80, 'x'));
    const fs::path working = folder / "working";
    const fs::path clientFolder = "C:\\Program Files\\KaZaA Lite";
    RegistryStore store;
};

TEST_F(VorlundExe, MovesTheMediaFilesAndCountsWhatIsLeftAndStartsTheClient)
{
    const std::string media[]{"song.mp3", "Photo.JPG", "clip.Mpg", "album.ZIP"};
    for (const std::string& name : media)
        writeFile(download / name, "contents of " + name);
    writeFile(download / "arriving.dat", "partial");
    writeFile(download / "notes.txt", "not media");
    const std::string dayBefore = today();

    Program program(working);
    // Counted at the pass after the one that moved them.
    EXPECT_TRUE(eventually([&] {
        return textOf(program.control(Text2Id)) == "4 files downloaded and moved";
    })) << textOf(program.control(Text2Id));
    EXPECT_EQ(readFile(destination / "Photo.JPG"), "contents of Photo.JPG");
    EXPECT_EQ(readFile(download / "notes.txt"), "not media");
    EXPECT_EQ(textOf(program.control(Text1Id)), "1 downloads in progress.");
    const std::string caption = program.caption();
    EXPECT_TRUE(caption.starts_with("Vorlund " + dayBefore + " ") ||
                caption.starts_with("Vorlund " + today() + " "))
        << caption;
    EXPECT_TRUE(eventually([&] { return fs::exists(clientFolder / "started"); }));
    EXPECT_EQ(program.close(), 0u);
}

// Downloads written slowly under their final names, by writers that let others delete them and
// that do not, into a destination on the same volume and on another: each stays, with nothing
// reported, until its writer closes it, then arrives whole.
TEST_F(VorlundExe, MovesADownloadOnlyOnceItsWriterClosesIt)
{
    const fs::path otherVolume = otherVolumeFolder();
    const TempFolder away{otherVolume.empty() ? folder.path() : otherVolume};
    for (const fs::path& into : {destination / "sub", away / "destination"}) {
        fs::create_directories(into);
        store.SaveSetting("vlund", "Startup", "Dir2", pathText(into));
        std::vector<HANDLE> writers;
        for (const DWORD share :
             {DWORD{FILE_SHARE_WRITE | FILE_SHARE_DELETE}, DWORD{FILE_SHARE_WRITE}})
            writers.push_back(::CreateFileW((download / (std::to_string(share) + ".mp3")).c_str(),
                                            GENERIC_WRITE, share, nullptr, CREATE_NEW, 0, nullptr));
        Program program(working);
        const std::string piece(65536, 'w');
        for (int pass = 0; pass < 4; ++pass) {
            const std::string before = program.caption();
            ASSERT_TRUE(eventually([&] { return program.caption() != before; }));
            for (DWORD put = 0; const HANDLE writer : writers)
                ::WriteFile(writer, piece.data(), DWORD(piece.size()), &put, nullptr);
            EXPECT_TRUE(fs::is_empty(into)) << "moved while written";
            EXPECT_EQ(textOf(program.control(FailureLineId)), "");
        }
        std::for_each(writers.begin(), writers.end(), ::CloseHandle);
        EXPECT_TRUE(eventually([&] { return fs::is_empty(download); }));
        for (const auto& arrived : fs::directory_iterator(into))
            EXPECT_EQ(fs::file_size(arrived), 4 * piece.size()) << arrived.path();
    }
}

// Windows names each list and box after the static text made just before it: here its label.
TEST_F(VorlundExe, RunsOnWithoutTheClientNamesItsControlsAndStoresASelectionMadeInTheLists)
{
    fs::remove_all(clientFolder);
    DebugOutput debugOutput;
    Program program(working);
    ASSERT_TRUE(eventually([&] { return program.caption().starts_with("Vorlund "); }));
    for (int id = Dir1Id; id <= Text2Id; ++id) {
        const HWND control = program.control(ControlId(id)), window = program.window();
        EXPECT_EQ(textOf(::GetWindow(control, GW_HWNDPREV)),
                  id < Text1Id ? Label1Captions[(id - Dir1Id) / 2] : countNames[id - Text1Id]);
        const int previous = id == Dir1Id ? Label1_0Id : id - 1;
        EXPECT_EQ(::GetNextDlgTabItem(window, ::GetDlgItem(window, previous), FALSE), control);
    }
    for (const ControlId id : {Text1Id, Text2Id}) { // through MSAA, which in Wine names only these
        IAccessible* accessible = nullptr;
        BSTR name = nullptr;
        ::AccessibleObjectFromWindow(program.control(id), DWORD(OBJID_CLIENT),
                                     __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
        ASSERT_TRUE(accessible);
        accessible->get_accName(VARIANT{{{VT_I4, 0, 0, 0, {.lVal = CHILDID_SELF}}}}, &name);
        EXPECT_EQ(toUtf8(name ? name : L""), countNames[id - Text1Id]);
        ::SysFreeString(name);
        accessible->Release();
    }

    const auto counted = [&](const std::string& count) {
        return eventually([&] {
            return textOf(program.control(Text2Id)) == count + " files downloaded and moved";
        });
    };
    // The open folder's sub-folders come last, a level below it: "sub" is the only one.
    for (const char* name : {"a.mp3", "b.mp3"})
        writeFile(destination / "sub" / name, name);
    const HWND Dir2 = program.control(Dir2Id);
    const auto sub = TreeView_GetLastVisible(Dir2);
    EXPECT_EQ(TreeView_GetParent(Dir2, sub), TreeView_GetSelection(Dir2));
    TreeView_SelectItem(Dir2, sub);
    ::SendMessageW(Dir2, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(stored("Dir2"), pathText(destination / "sub"));
    EXPECT_TRUE(counted("2"));
    // Renamed away while the program runs: the failure line gives up the middle of the path,
    // keeping what failed and why. Then the folder above chosen: moved and counted there.
    fs::rename(destination / "sub", folder / "away");
    EXPECT_TRUE(eventually([&] {
        const std::string shown = textOf(program.control(FailureLineId));
        return shown.starts_with("cannot read the folder '") && shown.find("...") != shown.npos &&
               shown.ends_with("sub': Path not found");
    })) << textOf(program.control(FailureLineId));
    // Whole, where a user of Windows can read it: standard error goes nowhere.
    EXPECT_TRUE(eventually([&] {
        return debugOutput.of(program.id()).find("sub': Path not found\n") != std::string::npos;
    })) << debugOutput.of(program.id());
    writeFile(download / "late.mp3", "late");
    ::SendMessageW(Dir2, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_TRUE(eventually([&] { return stored("Dir2") == pathText(destination); }));
    EXPECT_TRUE(counted("1")) << textOf(program.control(Text2Id));

    const HWND Drive2 = program.control(Drive2Id);
    const auto drives = ::SendMessageW(Drive2, CB_GETCOUNT, 0, 0);
    if (drives < 2)
        GTEST_SKIP() << "one drive only: no other to choose";
    ::SendMessageW(Drive2, CB_SETCURSEL, (::SendMessageW(Drive2, CB_GETCURSEL, 0, 0) + 1) % drives,
                   0);
    program.notify(Drive2Id, CBN_SELCHANGE);
    const std::string drive = stored("Drive2");
    EXPECT_NE(drive, pathText(folder.path().root_path()));
    EXPECT_EQ(stored("Dir2").substr(0, 2), drive.substr(0, 2));
    EXPECT_EQ(program.close(), 0u);
}

// What Explorer shows in the properties; a broken icon image shows as a blank square.
TEST(VorlundExeFile, CarriesItsVersionAndAnIconForEachSize)
{
    const fs::path program = VORLUND_EXE;
    std::vector<char> block(::GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, DWORD(block.size()), block.data()));
    const auto value = [&](const std::wstring& key) -> const void* {
        void* found = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(block.data(), key.c_str(), &found, &length) && length ? found
                                                                                      : nullptr;
    };
    const auto* language = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(language);
    wchar_t table[32];
    std::swprintf(table, 32, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    for (const auto& [key, text] :
         {std::pair{L"ProductName", L"vorlund"}, std::pair{L"FileVersion", L"1.00"}}) {
        const auto* found = static_cast<const wchar_t*>(value(table + std::wstring(key)));
        EXPECT_EQ(std::wstring(found ? found : L"(none)"), text);
    }

    const HMODULE module = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (const int size : {16, 32, 48}) {
        const auto icon = static_cast<HICON>(
            ::LoadImageW(module, L"IDI_ICON1", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        EXPECT_TRUE(icon) << size;
        ::DestroyIcon(icon);
    }
    ::FreeLibrary(module);
}

} // namespace
} // namespace vorlund::test
