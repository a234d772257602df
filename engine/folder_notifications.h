#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlund {

// What the system tells of one folder's entries: inotify on Linux, ReadDirectoryChangesW on
// Windows. Nothing is told of the folders above it, nor of where a link leads. On Windows the
// listening is a request of the thread that made it or last called take(), cancelled when that
// thread ends: keep to one thread that outlives this object.
class FolderNotifications
{
public:
    // Starts listening. A folder that cannot be watched (no such folder, the system's limit on
    // watches reached) gives no changes, never an error.
    explicit FolderNotifications(const std::filesystem::path& folder);
    ~FolderNotifications();
    FolderNotifications(const FolderNotifications&) = delete;
    FolderNotifications& operator=(const FolderNotifications&) = delete;

    // The names (UTF-8 on Windows, bytes elsewhere) added, removed or changed since the start or
    // the last call, in their order; on Windows a change of attributes counts. None when they
    // cannot be known: not watching, more changes than the system kept, or the folder itself
    // removed or moved. From then on it tells nothing more.
    std::optional<std::vector<std::string>> take();

private:
    struct System;
    std::unique_ptr<System> m_system;
};

} // namespace vorlund
