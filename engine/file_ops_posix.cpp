#include "engine/file_ops.h"
#include "engine/file_time_posix.h"
#include "engine/held_folders_posix.h"
#include "engine/owned_handle.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

std::error_code lastError()
{
    return {errno, std::system_category()};
}

[[noreturn]] void throwLastError(const char* what, const fs::path& path)
{
    throw std::system_error(lastError(), std::string(what) + " '" + path.string() + "'");
}

int noFd()
{
    return -1;
}

bool closeFd(int fd)
{
    return ::close(fd) == 0;
}

using UniqueFd = OwnedHandle<int, noFd, closeFd>;

struct stat lstatOrThrow(const fs::path& path)
{
    struct stat info
    {
    };
    if (::lstat(path.c_str(), &info) != 0)
        throwLastError("cannot read", path);
    return info;
}

// Pieces small enough that progress moves visibly, large enough to cost nothing.
constexpr size_t pieceSize = 8 << 20;

class Progress
{
public:
    Progress(const CopyProgress& report, std::uintmax_t total) : m_report(report), m_total(total) {}
    void add(std::uintmax_t bytes)
    {
        m_copied += bytes;
        if (m_report)
            m_report(m_copied, m_total);
    }
    bool started() const { return m_copied > 0; }
    bool whole() const { return m_copied == m_total; }

private:
    const CopyProgress& m_report;
    std::uintmax_t m_total;
    std::uintmax_t m_copied = 0;
};

bool copyWithKernel(int in, int out, const fs::path& from, Progress& progress)
{
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, pieceSize, 0);
        if (copied > 0) {
            progress.add(static_cast<std::uintmax_t>(copied));
            continue;
        }
        if (copied == 0)
            return true;
        // Older kernels and some pairs of file systems refuse before copying anything; the plain
        // loop does the job then.
        if (!progress.started() &&
            (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return false;
        throwLastError("cannot copy", from);
    }
}

void copyWithBuffer(int in, int out, const fs::path& from, const fs::path& to, Progress& progress)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throwLastError("cannot read", from);
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                throwLastError("cannot write", to);
            }
            done += put;
        }
        progress.add(static_cast<std::uintmax_t>(got));
    }
}

// A program that still holds the file open for writing would go on writing into the source after
// the move deleted it, and that data would be lost. The kernel refuses a read lease while anyone
// has the file open for writing; taken and given back at once, it tells just that. Where no lease
// can be had (another user's file, a network file system) the size and time check must do.
void refuseIfOpenForWriting(int fd, const fs::path& file)
{
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return;
    }
    if (errno == EAGAIN)
        throw std::system_error(std::make_error_code(std::errc::text_file_busy),
                                "'" + file.string() + "' is still open for writing");
}

void copyLink(const fs::path& from, const fs::path& to)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
    if (length < 0)
        throwLastError("cannot read the link", from);
    target.resize(static_cast<size_t>(length));
    if (::symlink(target.c_str(), to.c_str()) != 0)
        throwLastError("cannot create", to);
}

class PosixFileOps final : public FileOps
{
public:
    FileStamp stamp(const fs::path& file) override
    {
        const struct stat info = lstatOrThrow(file);
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                static_cast<std::uintmax_t>(info.st_size), nanoseconds(info.st_mtim)};
    }

    std::error_code renameNoReplace(const fs::path& from, const fs::path& to) override
    {
        const FileAt source = locate(from);
        const FileAt target = locate(to);
        if (::renameat2(source.folder, source.name, target.folder, target.name, RENAME_NOREPLACE) ==
            0)
            return {};
        if (errno != EINVAL && errno != ENOSYS)
            return lastError();
        // The file system lacks RENAME_NOREPLACE: a hard link fails on a taken name just as
        // atomically. If the unlink then fails, both names hold the same file, and the next move
        // of the source drops the needless name.
        if (::linkat(source.folder, source.name, target.folder, target.name, 0) == 0) {
            ::unlinkat(source.folder, source.name, 0);
            return {};
        }
        if (errno != EPERM && errno != EOPNOTSUPP)
            return lastError();
        // No hard links either (FAT, some network shares): the best left is look, then rename.
        struct stat info
        {
        };
        if (::fstatat(target.folder, target.name, &info, AT_SYMLINK_NOFOLLOW) == 0)
            return std::make_error_code(std::errc::file_exists);
        return ::renameat(source.folder, source.name, target.folder, target.name) == 0
                   ? std::error_code()
                   : lastError();
    }

    FolderHold holdFolders(const std::vector<fs::path>& folders) override
    {
        return holdFoldersOnThisThread(folders);
    }

    void copyToNew(const fs::path& from, const fs::path& to, const CopyProgress& report) override
    {
        const struct stat info = lstatOrThrow(from);
        if (S_ISLNK(info.st_mode))
            return copyLink(from, to);

        UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!in.valid())
            throwLastError("cannot open", from);
        refuseIfOpenForWriting(in.get(), from);
        UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!out.valid())
            throwLastError("cannot create", to);
        // Held until closed, so that another instance's clean-up leaves this copy alone.
        ::flock(out.get(), LOCK_EX);

        Progress progress(report, static_cast<std::uintmax_t>(info.st_size));
        if (!copyWithKernel(in.get(), out.get(), from, progress))
            copyWithBuffer(in.get(), out.get(), from, to, progress);
        // A writer may have opened it while it was copied.
        refuseIfOpenForWriting(in.get(), from);
        // Some file systems report sizes their reads do not give, and a kernel copy that stops
        // early looks just like the end of the file: only the whole file may take its place.
        if (!progress.whole())
            throw std::system_error(std::make_error_code(std::errc::io_error),
                                    "'" + from.string() +
                                        "' did not read back as long as its size says");

        ::fchmod(out.get(), info.st_mode & 07777);
        const std::array<timespec, 2> times{info.st_atim, info.st_mtim};
        ::futimens(out.get(), times.data());
        if (::fsync(out.get()) != 0 || !out.close())
            throwLastError("cannot write", to);
    }

    void remove(const fs::path& file) override
    {
        if (::unlink(file.c_str()) != 0)
            throwLastError("cannot delete", file);
    }

    bool removeIfAbandoned(const fs::path& file) override
    {
        UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (fd.valid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            return false;
        return ::unlink(file.c_str()) == 0;
    }

    void flushFolder(const fs::path& folder) override
    {
        UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd.valid())
            throwLastError("cannot open", folder);
        // Some file systems cannot flush a folder (EINVAL); they give no stronger promise to wait
        // for.
        if (::fsync(fd.get()) != 0 && errno != EINVAL)
            throwLastError("cannot flush", folder);
    }
};

} // namespace

FileOps& systemFileOps()
{
    static PosixFileOps ops;
    return ops;
}

} // namespace vorlund
