#include "file_system.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace vorlund::test {

namespace fs = std::filesystem;

fs::path shortNameOf(const fs::path&)
{
    return {};
}

void setLastWriteTime(const fs::path& path, fs::file_time_type time)
{
    fs::last_write_time(path, time);
}

const bool openFilesStayPut = false;

FileInUse::FileInUse(const fs::path& file) : m_handle(::open(file.c_str(), O_WRONLY | O_CLOEXEC))
{
    if (m_handle < 0 || ::flock(static_cast<int>(m_handle), LOCK_EX) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot hold " + file.string());
}

void FileInUse::close()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(std::exchange(m_handle, -1)));
}

} // namespace vorlund::test
