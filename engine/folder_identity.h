#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vorlund {

// True when both paths lead to one directory, however they are spelled (separators, "..",
// links, letter case): the file system's own identity decides, never the text.
bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b);

// True while a volume is mounted at `folder`: its volume differs from the one above it.
bool isMountPoint(const std::filesystem::path& folder);

// Where the volume that holds `folder` is mounted (`folder` itself or a folder above it); empty
// when that is the volume of the system's root, or of a drive letter's root on Windows.
std::filesystem::path mountPointOf(const std::filesystem::path& folder);

// The volume that holds `folder` where the system names volumes lastingly: on Windows its serial
// number, which tells another USB stick given the same drive letter. Elsewhere, where a disk
// plugged in again may get another device number, and when `folder` cannot be opened: none.
std::optional<std::uint64_t> lastingVolumeOf(const std::filesystem::path& folder);

} // namespace vorlund
