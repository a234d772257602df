#include "services/launcher.h"
#include "engine/runtime_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlund {

// X11 has no portable way to ask for a first-shown minimised window, so the style is left to
// the started program and its window manager.
void startProgram(const std::filesystem::path& path, WindowStyle /*style*/)
{
    const std::string what = "cannot start '" + displayPath(path) + "'";
    if (!path.is_absolute())
        throw RuntimeError(ErrorNumber::FileNotFound, what + ": not an absolute path");

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        throw fileError({errno, std::system_category()}, what);

    // The program runs as a grandchild in a session of its own: it outlives us and never
    // becomes our zombie. A failed exec sends its errno back through the pipe, which a
    // successful exec closes.
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program > 0)
            ::_exit(0);
        if (program == 0)
            ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
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

} // namespace vorlund
