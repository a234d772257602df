#include "services/wine_prefix_posix.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <strings.h>
#include <unistd.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The entry of `folder` named `name`, as Wine finds it: the exact name first, else the first
// that differs only in letter case (ASCII letters here, enough for a program's path). Empty
// when there is none.
fs::path entryIn(const fs::path& folder, const std::string& name)
{
    std::error_code error;
    if (fs::exists(folder / name, error))
        return folder / name;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        if (::strcasecmp(entry->path().filename().c_str(), name.c_str()) == 0)
            return entry->path();
    return {};
}

} // namespace

bool isWindowsDrivePath(std::string_view path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && isSeparator(path[2]);
}

// Wine takes the home folder from the passwd entry when HOME is not set.
fs::path winePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return prefix;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".wine";
    const passwd* user = ::getpwuid(::getuid());
    return fs::path(user ? user->pw_dir : "/") / ".wine";
}

fs::path fileInWinePrefix(const fs::path& prefix, std::string_view windowsPath)
{
    // Wine reaches a drive through its link in dosdevices (usually c: -> ../drive_c), which the
    // user may point anywhere.
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    fs::path file = prefix / "dosdevices" / std::string{drive, ':'};
    std::error_code error;
    if (!fs::is_directory(file, error))
        file.clear();
    for (std::string_view rest = windowsPath.substr(3); !file.empty() && !rest.empty();) {
        const std::size_t end = std::min(rest.find_first_of("\\/"), rest.size());
        if (end > 0)
            file = entryIn(file, std::string(rest.substr(0, end)));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return fs::is_regular_file(file, error) ? file : fs::path();
}

} // namespace vorlund
