#include "engine/folder_notifications.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace vorlund {

namespace {

// A network or user-space file system tells inotify only of what this machine does there.
bool toldOfEveryChange(const std::filesystem::path& folder)
{
    struct statfs volume
    {
    };
    if (::statfs(folder.c_str(), &volume) != 0)
        return false;
    constexpr std::array<unsigned long, 9> remote{
        0x6969,     // NFS
        0x517B,     // SMB
        0xFF534D42, // CIFS
        0xFE534D42, // SMB2
        0x65735546, // FUSE
        0x73757245, // Coda
        0x5346414F, // AFS
        0x01021997, // 9P
        0x00C36400, // Ceph
    };
    const auto type = static_cast<unsigned long>(volume.f_type);
    return std::find(remote.begin(), remote.end(), type) == remote.end();
}

} // namespace

struct FolderNotifications::System
{
    int fd = -1;
    bool lost = false;
};

FolderNotifications::FolderNotifications(const std::filesystem::path& folder)
    : m_system(std::make_unique<System>())
{
    m_system->fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    constexpr std::uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (m_system->fd < 0 || !toldOfEveryChange(folder) ||
        ::inotify_add_watch(m_system->fd, folder.c_str(), events) < 0)
        m_system->lost = true;
}

FolderNotifications::~FolderNotifications()
{
    if (m_system->fd >= 0)
        ::close(m_system->fd);
}

std::optional<std::vector<std::string>> FolderNotifications::take()
{
    std::vector<std::string> changes;
    alignas(inotify_event) std::array<char, 64 * 1024> buffer;
    while (!m_system->lost) {
        const ssize_t got = ::read(m_system->fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return changes;
        if (got <= 0) {
            m_system->lost = true;
            break;
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const char* name = buffer.data() + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            // The watch ended (folder removed, moved, unmounted) or the queue overflowed.
            if (event.mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                m_system->lost = true;
                break;
            }
            if (event.len == 0 || (event.mask & IN_ISDIR))
                continue;
            changes.emplace_back(name);
        }
    }
    return std::nullopt;
}

} // namespace vorlund
