#include "engine/folder_notifications.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace vorlund {

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
    if (m_system->fd < 0 || ::inotify_add_watch(m_system->fd, folder.c_str(), events) < 0)
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
