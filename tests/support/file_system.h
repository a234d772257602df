#pragma once

#include <filesystem>
#include <string>

namespace vorlund::test {

// A fresh folder, removed with everything in it when the object goes.
class TempFolder
{
public:
    explicit TempFolder(
        const std::filesystem::path& under = std::filesystem::temp_directory_path());
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const
    {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};

void writeFile(const std::filesystem::path& path, const std::string& contents);
std::string readFile(const std::filesystem::path& path);

// True when the file system under `folder` takes names that differ only in letter case for one.
bool namesIgnoreCase(const std::filesystem::path& folder);

// Makes `link` point at `target`; false where the system cannot (MinGW's std::filesystem).
bool makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link);

// VORLUND_TEST_OTHER_VOLUME when it lies on another volume than the temporary folder, else empty.
std::filesystem::path otherVolumeFolder();

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
