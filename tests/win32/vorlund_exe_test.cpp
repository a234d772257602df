// Drives the real vorlund.exe from outside, as a user and the download client meet it: selections
// in the registry, files in temporary folders, its controls read and worked by their IDs.
#include "engine/runtime_error.h"
#include "engine/utf16.h"
#include "services/registry_store.h"
#include "support/temp_folder.h"
#include "support/titled_window.h"
#include "win32/control_ids.h"

#include <array>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <windows.h>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using namespace vorlund::win32;

const std::array<std::string, 4> selectionKeys{"Drive1", "Drive2", "Dir1", "Dir2"};

// Polls until `done`, which a loaded machine may take long to bring about.
bool eventually(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The stored selections, put back as they were (or removed) when the object goes.
class StoredSelections
{
public:
    StoredSelections()
    {
        const std::string absent(1, '\0');
        for (std::size_t i = 0; i < selectionKeys.size(); ++i) {
            const std::string value = get(selectionKeys[i], absent);
            if (value != absent)
                m_before[i] = value;
        }
    }
    ~StoredSelections()
    {
        for (std::size_t i = 0; i < selectionKeys.size(); ++i) {
            if (m_before[i])
                set(selectionKeys[i], *m_before[i]);
            else
                ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\vlund\\Startup",
                                     toUtf16(selectionKeys[i]).c_str());
        }
    }
    std::string get(const std::string& key, const std::string& absent = "")
    {
        return m_store.GetSetting("vlund", "Startup", key, absent);
    }
    void set(const std::string& key, const std::string& value)
    {
        m_store.SaveSetting("vlund", "Startup", key, value);
    }

private:
    RegistryStore m_store;
    std::array<std::optional<std::string>, 4> m_before;
};

// A stand-in for the download client where the program looks for it; it notes that it ran. One
// left by a run that was cut short is replaced; a real client never.
class FakeClient
{
public:
    FakeClient()
    {
        const fs::path client = m_folder / "klrun.exe";
        if (fs::exists(client) && readFile(client) != readFile(VORLUND_FAKE_CLIENT))
            throw std::runtime_error("a client is installed: this test would replace it");
        fs::create_directories(m_folder);
        fs::remove(m_folder / "started");
        fs::copy_file(VORLUND_FAKE_CLIENT, client, fs::copy_options::overwrite_existing);
    }
    ~FakeClient()
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    bool started() const { return fs::exists(m_folder / "started"); }

private:
    const fs::path m_folder = "C:\\Program Files\\KaZaA Lite";
};

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
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 1);
            ::WaitForSingleObject(m_process.hProcess, INFINITE);
        }
        ::CloseHandle(m_process.hProcess);
    }

    // Its shown window, or null before there is one.
    HWND window() const
    {
        std::pair<DWORD, HWND> search{m_process.dwProcessId, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM found) -> BOOL {
                auto& [process, window] = *reinterpret_cast<std::pair<DWORD, HWND>*>(found);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                if (owner == process && ::IsWindowVisible(hwnd) && !::GetParent(hwnd))
                    window = hwnd;
                return window == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    std::string caption() const { return text(window()); }
    HWND control(ControlId id) const { return ::GetDlgItem(window(), id); }
    std::string text(HWND hwnd) const
    {
        wchar_t text[512] = {};
        ::SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        return toUtf8(text);
    }
    // A notification as the control sends it when the user works it.
    void notify(ControlId id, WORD code) const
    {
        ::SendMessageW(window(), WM_COMMAND, MAKEWPARAM(id, code),
                       reinterpret_cast<LPARAM>(control(id)));
    }
    // Closes the window as its close box does; the exit code once the program ended.
    std::optional<DWORD> close() const
    {
        ::PostMessageW(window(), WM_CLOSE, 0, 0);
        DWORD code = 0;
        if (::WaitForSingleObject(m_process.hProcess, 60000) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(m_process.hProcess, &code))
            return std::nullopt;
        return code;
    }

private:
    PROCESS_INFORMATION m_process{};
};

std::string today()
{
    wchar_t date[80] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80,
                      nullptr);
    return toUtf8(date);
}

class VorlundExe : public ::testing::Test
{
protected:
    VorlundExe()
    {
        for (const fs::path& folder : {download, destination, destination / "sub", working})
            fs::create_directories(folder);
        const std::string drive = displayPath(folder.path().root_path());
        selections.set("Drive1", drive);
        selections.set("Drive2", drive);
        selections.set("Dir1", displayPath(download));
        selections.set("Dir2", displayPath(destination));
    }

    TempFolder folder;
    const fs::path download = folder / "download";
    const fs::path destination = folder / "destination";
    const fs::path working = folder / "working";
    StoredSelections selections;
    FakeClient client;
};

TEST_F(VorlundExe, MovesTheMediaFilesAndCountsWhatIsLeftAndStartsTheClient)
{
    const std::array<std::string, 4> media{"song.mp3", "Photo.JPG", "clip.Mpg", "album.ZIP"};
    for (const std::string& name : media)
        writeFile(download / name, "contents of " + name);
    writeFile(download / "arriving.dat", "partial");
    writeFile(download / "notes.txt", "not media");
    const std::string dayBefore = today();

    Program program(working);

    for (const std::string& name : media) {
        ASSERT_TRUE(eventually([&] { return fs::exists(destination / name); })) << name;
        EXPECT_EQ(readFile(destination / name), "contents of " + name);
        EXPECT_TRUE(eventually([&] { return !fs::exists(download / name); })) << name;
    }
    EXPECT_EQ(readFile(download / "arriving.dat"), "partial");
    EXPECT_EQ(readFile(download / "notes.txt"), "not media");
    EXPECT_TRUE(eventually([&] {
        return program.text(program.control(Text2Id)) == "4 files downloaded and moved";
    })) << program.text(program.control(Text2Id));
    EXPECT_EQ(program.text(program.control(Text1Id)), "1 downloads in progress.");
    const std::string caption = program.caption();
    EXPECT_TRUE(caption.starts_with("Vorlund " + dayBefore + " ") ||
                caption.starts_with("Vorlund " + today() + " "))
        << caption;
    EXPECT_TRUE(eventually([&] { return client.started(); }));
    EXPECT_EQ(program.close(), 0u);
}

TEST_F(VorlundExe, LeavesTheClientAloneWhileItsWindowIsOpen)
{
    const TitledWindow clientWindow("Kazaa Lite");
    Program program(working);

    // The client starts, if at all, before the window shows; the caption ticks after.
    ASSERT_TRUE(eventually([&] { return program.caption().starts_with("Vorlund "); }));
    EXPECT_EQ(program.close(), 0u);
    EXPECT_FALSE(client.started());
}

TEST_F(VorlundExe, StoresASelectionMadeInTheLists)
{
    Program program(working);
    ASSERT_TRUE(eventually([&] { return program.window() != nullptr; }));

    // The open folder's sub-folders come last: "sub" is the only one.
    const HWND Dir2 = program.control(Dir2Id);
    ::SendMessageW(Dir2, LB_SETCURSEL, ::SendMessageW(Dir2, LB_GETCOUNT, 0, 0) - 1, 0);
    program.notify(Dir2Id, LBN_DBLCLK);
    EXPECT_EQ(selections.get("Dir2"), displayPath(destination / "sub"));

    const HWND Drive2 = program.control(Drive2Id);
    const auto drives = ::SendMessageW(Drive2, CB_GETCOUNT, 0, 0);
    const auto current = ::SendMessageW(Drive2, CB_GETCURSEL, 0, 0);
    if (drives < 2)
        GTEST_SKIP() << "one drive only: no other to choose";
    ::SendMessageW(Drive2, CB_SETCURSEL, (current + 1) % drives, 0);
    program.notify(Drive2Id, CBN_SELCHANGE);
    const std::string drive = selections.get("Drive2");
    EXPECT_NE(drive, displayPath(folder.path().root_path()));
    EXPECT_EQ(selections.get("Dir2").substr(0, 2), drive.substr(0, 2));
    EXPECT_EQ(program.close(), 0u);
}

} // namespace
} // namespace vorlund::test
