#pragma once

#include <filesystem>

namespace vorlund {

// A path as the system's file calls take it. On Windows its extended form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), free of the 260-character limit that holds unless a policy lifts
// it; the system takes that form as it stands, so it is given only "\" and no "." or "..". A
// relative path, and any path elsewhere, is left as it is.
std::filesystem::path systemPath(const std::filesystem::path& path);

} // namespace vorlund
