#pragma once

#include "temp_folder.h"

namespace vorlund::test {

// What the tests need of the file system that Windows does its own way.
#ifdef _WIN32
// `path` spelled with short (8.3) names, or empty where the volume gives none.
std::filesystem::path shortNameOf(const std::filesystem::path& path);
// As std::filesystem::last_write_time(path, time), which MinGW's cannot do for a folder.
void setLastWriteTime(const std::filesystem::path& path, std::filesystem::file_time_type time);
#else
inline std::filesystem::path shortNameOf(const std::filesystem::path&)
{
    return {};
}
inline void setLastWriteTime(const std::filesystem::path& path,
                             std::filesystem::file_time_type time)
{
    std::filesystem::last_write_time(path, time);
}
#endif

} // namespace vorlund::test
