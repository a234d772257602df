#pragma once

#include "engine/system_path.h"

#include <filesystem>
#include <windows.h>

namespace vorlund {

// A folder opened only to ask what it is: shared with everyone, in nobody's way. Close it.
inline HANDLE openFolderToAsk(const std::filesystem::path& folder)
{
    return ::CreateFileW(systemPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace vorlund
