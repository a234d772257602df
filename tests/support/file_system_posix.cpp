#include "file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlund::test {

namespace fs = std::filesystem;

fs::path otherVolumeFolder()
{
    struct stat temp
    {
    };
    struct stat shm
    {
    };
    const fs::path candidate = "/dev/shm";
    if (::stat(fs::temp_directory_path().c_str(), &temp) == 0 &&
        ::stat(candidate.c_str(), &shm) == 0 && temp.st_dev != shm.st_dev)
        return candidate;
    return {};
}

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
        throw std::runtime_error("cannot hold " + file.string() + ": " + std::strerror(errno));
}

void FileInUse::close()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

// tmpfs, which root may mount, and CI runs as root.
SmallVolume::SmallVolume(int kibibytes)
{
    const std::string size = "size=" + std::to_string(kibibytes) + "k";
    if (::mount("vorlund-test", m_folder.path().c_str(), "tmpfs", 0, size.c_str()) != 0)
        m_whyNot = std::string("cannot mount a small file system here: ") + std::strerror(errno);
}

SmallVolume::~SmallVolume()
{
    if (mounted())
        ::umount(m_folder.path().c_str());
}

} // namespace vorlund::test
