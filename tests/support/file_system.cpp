#include "file_system.h"

#include "engine/file_ops.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vorlund::test {

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path& under)
{
    std::random_device random;
    do
        m_path = under / ("vorlund-test-" + std::to_string(random()));
    while (!fs::create_directory(m_path));
}

TempFolder::~TempFolder()
{
    // Windows deletes no read-only file, and a test may have left one.
    std::error_code ec;
    for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}

void writeFile(const fs::path& path, const std::string& contents)
{
    if (!(std::ofstream(path, std::ios::binary) << contents).flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path)
{
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

bool namesIgnoreCase(const fs::path& folder)
{
    writeFile(folder / "case-probe", "");
    const bool ignored = fs::exists(folder / "CASE-PROBE");
    fs::remove(folder / "case-probe");
    return ignored;
}

bool makeSymlink(const fs::path& target, const fs::path& link)
{
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec && fs::is_symlink(link);
}

// Under Wine, C: and Z: may lie on one file system: the volumes' own numbers decide.
fs::path otherVolumeFolder()
{
    const char* folder = std::getenv("VORLUND_TEST_OTHER_VOLUME");
    if (!folder || !fs::is_directory(folder) ||
        systemFileOps().stamp(folder).volume ==
            systemFileOps().stamp(fs::temp_directory_path()).volume)
        return {};
    return folder;
}

} // namespace vorlund::test
