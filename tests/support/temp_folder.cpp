#include "temp_folder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace vorlund::test {

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path& under)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = under / ("vorlund-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder under " + under.string());
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void writeFile(const fs::path& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary);
    out << contents;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

fs::path otherVolumeFolder()
{
    struct stat temp
    {
    };
    struct stat shm
    {
    };
    const fs::path candidate = "/dev/shm";
    if (::stat(fs::temp_directory_path().c_str(), &temp) == 0 &&
        ::stat(candidate.c_str(), &shm) == 0 && temp.st_dev != shm.st_dev)
        return candidate;
    return {};
}

} // namespace vorlund::test
