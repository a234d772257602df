#include "engine/folder_identity.h"
#include "engine/system_path.h"

#include <windows.h>

namespace vorlund {

std::optional<std::uint64_t> lastingVolumeOf(const std::filesystem::path& folder)
{
    const HANDLE handle =
        ::CreateFileW(systemPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD serial = 0;
    const bool known =
        ::GetVolumeInformationByHandleW(handle, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    ::CloseHandle(handle);
    return known ? std::optional<std::uint64_t>(serial) : std::nullopt;
}

} // namespace vorlund
