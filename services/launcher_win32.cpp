#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "services/launcher.h"

#include <string>
#include <windows.h>

namespace vorlund {
namespace {

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Read from the root of a drive ("C:\...") or of a share ("\\server\share\...", "\\?\C:\...").
// std::filesystem of MinGW takes a share's path for relative, hence this rule of its own.
bool isAbsolute(const std::wstring& path)
{
    const bool fromDrive =
        path.size() >= 3 &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && isSeparator(path[2]);
    const bool fromShare = path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]);
    return fromDrive || fromShare;
}

WORD showCommand(WindowStyle style)
{
    switch (style) {
    case WindowStyle::MinimizedFocus:
        return SW_SHOWMINIMIZED;
    }
    return SW_SHOWNORMAL;
}

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace

void startProgram(const std::filesystem::path& path, WindowStyle style)
{
    const std::string what = "cannot start '" + pathText(path) + "'";
    if (!isAbsolute(path.native()))
        throw RuntimeError(ErrorNumber::FileNotFound, what + ": not an absolute path");
    // Windows answers a folder with "access denied", Wine with "invalid handle": a folder is no
    // program, and says so the same way everywhere.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw fileError({ERROR_ACCESS_DENIED, std::system_category()}, what);

    // The application name is given, so nothing is searched for: from the command line alone,
    // Windows would first try to run "C:\Program.exe" for "C:\Program Files\...". The command
    // line is the quoted path, which the program reads as its own name.
    std::wstring commandLine = L"\"" + path.native() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand(style);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        throw fileError(lastError(), what);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

} // namespace vorlund
