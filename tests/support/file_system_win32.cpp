#include "file_system.h"

#include <chrono>
#include <system_error>
#include <windows.h>

namespace vorlund::test {

namespace fs = std::filesystem;

fs::path shortNameOf(const fs::path& path)
{
    std::wstring shortName(MAX_PATH, L'\0');
    const DWORD length =
        ::GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length == 0 || length >= shortName.size())
        return {};
    shortName.resize(length);
    return shortName == path.native() ? fs::path() : fs::path(shortName);
}

void setLastWriteTime(const fs::path& path, fs::file_time_type time)
{
    // FILETIME counts 100 ns steps from 1601, 11644473600 s before the Unix epoch.
    using Steps = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    const std::int64_t steps = std::chrono::duration_cast<Steps>(
                                   fs::file_time_type::clock::to_sys(time).time_since_epoch())
                                   .count() +
                               116'444'736'000'000'000LL;
    const FILETIME written{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    const HANDLE handle = ::CreateFileW(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool set =
        handle != INVALID_HANDLE_VALUE && ::SetFileTime(handle, nullptr, nullptr, &written);
    const DWORD error = ::GetLastError();
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    if (!set)
        throw std::system_error(static_cast<int>(error), std::system_category(),
                                "cannot set the time of " + path.string());
}

} // namespace vorlund::test
