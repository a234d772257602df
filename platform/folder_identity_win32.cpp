#include "platform/folder_identity.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <windows.h>

namespace vorlund {
namespace {

using Identity = std::pair<DWORD, std::uint64_t>; // volume serial number, file index

// Empty when `path` is no folder. FILE_FLAG_BACKUP_SEMANTICS is what opens a folder at all; a
// link is followed, so that a link to a folder is that folder.
std::optional<Identity> folderIdentity(const std::filesystem::path& path)
{
    const HANDLE handle = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool isFolder = ::GetFileInformationByHandle(handle, &info) &&
                          (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(handle);
    if (!isFolder)
        return std::nullopt;
    return Identity{info.dwVolumeSerialNumber,
                    (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

} // namespace

bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const auto first = folderIdentity(a);
    return first && first == folderIdentity(b);
}

} // namespace vorlund
