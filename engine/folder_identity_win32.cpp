#include "engine/folder_handle_win32.h"
#include "engine/folder_identity.h"

namespace vorlund {

std::optional<std::uint64_t> lastingVolumeOf(const std::filesystem::path& folder)
{
    const HANDLE handle = openFolderToAsk(folder);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD serial = 0;
    const bool known =
        ::GetVolumeInformationByHandleW(handle, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    ::CloseHandle(handle);
    return known ? std::optional<std::uint64_t>(serial) : std::nullopt;
}

} // namespace vorlund
