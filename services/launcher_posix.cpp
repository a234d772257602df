#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "services/launcher.h"
#include "services/wine_prefix_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

// The `wine` that a shell would run, found here so that a missing one says so before anything
// starts. A folder of PATH that is not absolute would depend on our working folder: skipped.
fs::path wineCommand(const std::string& what)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path wine = fs::path(folder) / "wine";
        std::error_code error;
        if (wine.is_absolute() && fs::is_regular_file(wine, error) &&
            ::access(wine.c_str(), X_OK) == 0)
            return wine;
    }
    throw RuntimeError(ErrorNumber::FileNotFound, what + ": no 'wine' command on PATH");
}

// Runs `program` with `arguments` (its own name first) as a grandchild in a session of its own:
// it outlives us and never becomes our zombie. A failed exec sends its errno back through the
// pipe, which a successful exec closes.
void spawn(const fs::path& program, const std::vector<const char*>& arguments,
           const std::string& what)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        throw fileError({errno, std::system_category()}, what);

    std::vector<char*> argv;
    for (const char* argument : arguments)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t started = ::fork();
        if (started > 0)
            ::_exit(0);
        if (started == 0)
            ::execv(program.c_str(), argv.data());
        // Only a failed fork or exec gets here.
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        throw fileError({error, std::system_category()}, what);
    }
    ::waitpid(child, nullptr, 0);
    int error = 0;
    const ssize_t got = ::read(report[0], &error, sizeof error);
    ::close(report[0]);
    if (got == sizeof error)
        throw fileError({error, std::system_category()}, what);
}

} // namespace

// A Windows program ("C:\...") runs under Wine, from the user's Wine prefix, through Wine's own
// `start /min`, which hands it the minimised first show as Windows does. X11 has no portable way
// to ask that of a Linux program, so there the style is left to the program and its window manager.
void startProgram(const fs::path& path, WindowStyle /*style*/)
{
    const std::string what = "cannot start '" + pathText(path) + "'";
    if (isWindowsDrivePath(path.native())) {
        const fs::path wine = wineCommand(what);
        const fs::path prefix = winePrefix();
        const fs::path file = fileInWinePrefix(prefix, path.native());
        if (file.empty())
            throw RuntimeError(ErrorNumber::FileNotFound,
                               what + ": no such file in the Wine prefix '" + pathText(prefix) +
                                   "'");
        spawn(wine, {wine.c_str(), "start", "/min", "/unix", file.c_str()}, what);
        return;
    }
    if (!path.is_absolute())
        throw RuntimeError(ErrorNumber::FileNotFound, what + ": not an absolute path");
    spawn(path, {path.c_str()}, what);
}

} // namespace vorlund
