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

} // namespace vorlund::test
