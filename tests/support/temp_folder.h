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

// A folder on another volume than the temporary folder, or empty when there is none.
std::filesystem::path otherVolumeFolder();

} // namespace vorlund::test
