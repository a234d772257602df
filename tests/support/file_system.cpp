#include "file_system.h"

#include "engine/file_ops.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <chrono>
#include <windows.h>
#endif

namespace vorlund::test {

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path& under)
{
    std::random_device random;
    do
        m_path = under / ("vorlund-test-" + std::to_string(random()));
    while (!fs::create_directory(m_path));
}

TempFolder::~TempFolder()
{
    // Windows deletes no read-only file, and a test may have left one.
    std::error_code ec;
    for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

void writeFile(const fs::path& path, const std::string& contents)
{
    if (!(std::ofstream(path, std::ios::binary) << contents).flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path)
{
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

bool namesIgnoreCase(const fs::path& folder)
{
    writeFile(folder / "case-probe", "");
    const bool ignored = fs::exists(folder / "CASE-PROBE");
    fs::remove(folder / "case-probe");
    return ignored;
}

bool makeSymlink(const fs::path& target, const fs::path& link)
{
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec && fs::is_symlink(link);
}

// Under Wine, C: and Z: may lie on one file system: the volumes' own numbers decide.
fs::path otherVolumeFolder()
{
    const char* folder = std::getenv("VORLUND_TEST_OTHER_VOLUME");
    if (!folder || !fs::is_directory(folder) ||
        systemFileOps().stamp(folder).volume ==
            systemFileOps().stamp(fs::temp_directory_path()).volume)
        return {};
    return folder;
}

#ifdef _WIN32
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
    ::CloseHandle(handle);
    if (!set)
        throw std::runtime_error("cannot set the time of " + path.string());
}
#endif

} // namespace vorlund::test
