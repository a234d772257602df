#include "temp_folder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

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
    // Windows deletes no read-only file, and a test may have left one.
    std::error_code ec;
    for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_path, ec);
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

bool namesIgnoreCase(const fs::path& folder)
{
    const fs::path probe = folder / "case-probe";
    writeFile(probe, "");
    const bool ignored = fs::exists(folder / "CASE-PROBE");
    fs::remove(probe);
    return ignored;
}

bool makeSymlink(const fs::path& target, const fs::path& link)
{
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec && fs::is_symlink(link);
}

} // namespace vorlund::test
