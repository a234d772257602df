#pragma once

#include <filesystem>
#include <string_view>

namespace vorlund {

// True for "X:\..." or "X:/...": a path from the root of a Windows drive.
bool isWindowsDrivePath(std::string_view path);

// The user's Wine prefix: WINEPREFIX, else ~/.wine.
std::filesystem::path winePrefix();

// The file that Wine shows at `windowsPath` (a drive path) in `prefix`; empty when there is none.
std::filesystem::path fileInWinePrefix(const std::filesystem::path& prefix,
                                       std::string_view windowsPath);

} // namespace vorlund
