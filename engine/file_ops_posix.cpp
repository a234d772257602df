#include "engine/file_ops.h"
#include "engine/file_time_posix.h"
#include "engine/open_folders_posix.h"
#include "engine/owned_handle.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// Copies the user's extended attributes (a download's origin among them), as `mv` does. A
// destination that refuses one (no support, no room) keeps the file without it.
void copyExtendedAttributes(int in, int out)
{
    const ssize_t listed = ::flistxattr(in, nullptr, 0);
    if (listed <= 0)
        return;
    std::string names(static_cast<size_t>(listed), '\0');
    names.resize(
        static_cast<size_t>(std::max<ssize_t>(0, ::flistxattr(in, names.data(), names.size()))));
    std::vector<char> value;
    for (size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        if (!std::string_view(name).starts_with("user."))
            continue;
        const ssize_t size = ::fgetxattr(in, name, nullptr, 0);
        value.resize(static_cast<size_t>(std::max<ssize_t>(0, size)));
        const ssize_t got = ::fgetxattr(in, name, value.data(), value.size());
        if (got >= 0)
            ::fsetxattr(out, name, value.data(), static_cast<size_t>(got), 0);
    }
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

// A running copy holds its file locked until it closes it; the lock returned keeps another
// instance's clean-up away meanwhile. Empty while a copy runs.
std::optional<UniqueFd> lockIfAbandoned(const fs::path& file)
{
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd.valid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    return fd;
}

std::error_code renameWithoutReplacing(const fs::path& from, const fs::path& to)
{
    const FileAt source = locate(from);
    const FileAt target = locate(to);
    if (::renameat2(source.folder, source.name, target.folder, target.name, RENAME_NOREPLACE) == 0)
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

class PosixSourceFile final : public SourceFile
{
public:
    PosixSourceFile(fs::path path, UniqueFd fd, bool leased)
        : m_path(std::move(path)), m_fd(std::move(fd)), m_leased(leased)
    {}

    FileStamp stamp() override
    {
        struct stat info
        {
        };
        if (!m_fd.valid())
            info = lstatOrThrow(m_path);
        else if (::fstat(m_fd.get(), &info) != 0)
            throwLastError("cannot read", m_path);
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                static_cast<std::uintmax_t>(info.st_size), nanoseconds(info.st_mtim)};
    }

    std::size_t read(std::uint64_t offset, char* buffer, std::size_t size) override
    {
        if (!m_fd.valid()) // a link, or a file the user may move but not read
            return 0;
        const ssize_t got = ::pread(m_fd.get(), buffer, size, static_cast<off_t>(offset));
        if (got < 0)
            throwLastError("cannot read", m_path);
        return static_cast<std::size_t>(got);
    }

    std::error_code renameNoReplace(const fs::path& to) override
    {
        const std::error_code ec = renameWithoutReplacing(m_path, to);
        // A writer that asked meanwhile waits for the lease, then opens the file where it is.
        if (ec || !writerWaiting() || renameWithoutReplacing(to, m_path))
            return ec;
        return std::make_error_code(std::errc::text_file_busy);
    }

    void copyToNew(const fs::path& to, const CopyProgress& report) override
    {
        if (!m_fd.valid() && S_ISLNK(lstatOrThrow(m_path).st_mode))
            return copyLink(m_path, to);
        if (!m_fd.valid())
            throwLastError("cannot open", m_path);
        struct stat info
        {
        };
        if (::fstat(m_fd.get(), &info) != 0)
            throwLastError("cannot read", m_path);

        UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!out.valid())
            throwLastError("cannot create", to);
        // Held until closed, so that another instance's clean-up leaves this copy alone.
        ::flock(out.get(), LOCK_EX);

        // A writer that asks for the file is held up until the lease goes: it goes at once.
        const CopyProgress checked = [&](std::uintmax_t copied, std::uintmax_t total) {
            refuseIfAWriterWaits();
            if (report)
                report(copied, total);
        };
        Progress progress(checked, static_cast<std::uintmax_t>(info.st_size));
        if (!copyWithKernel(m_fd.get(), out.get(), m_path, progress))
            copyWithBuffer(m_fd.get(), out.get(), m_path, to, progress);
        // Some file systems report sizes their reads do not give, and a kernel copy that stops
        // early looks just like the end of the file: only the whole file may take its place.
        if (!progress.whole())
            throw std::system_error(std::make_error_code(std::errc::io_error),
                                    "'" + m_path.string() +
                                        "' did not read back as long as its size says");

        refuseIfAWriterWaits();
        copyExtendedAttributes(m_fd.get(), out.get());
        ::fchmod(out.get(), info.st_mode & 07777);
        const std::array<timespec, 2> times{info.st_atim, info.st_mtim};
        ::futimens(out.get(), times.data());
        if (::fsync(out.get()) != 0 || !out.close())
            throwLastError("cannot write", to);
    }

    // What a writer that asked meanwhile wrote would go to a deleted file.
    void remove() override
    {
        refuseIfAWriterWaits();
        if (::unlink(m_path.c_str()) != 0)
            throwLastError("cannot delete", m_path);
    }

private:
    void refuseIfAWriterWaits() const
    {
        if (writerWaiting())
            throw std::system_error(std::make_error_code(std::errc::text_file_busy),
                                    "'" + m_path.string() + "' was opened for writing");
    }

    // Once someone asks to write the file, the kernel reports the lease as going.
    bool writerWaiting() const { return m_leased && ::fcntl(m_fd.get(), F_GETLEASE) != F_RDLCK; }

    fs::path m_path;
    UniqueFd m_fd;
    bool m_leased;
};

class PosixFileOps final : public FileOps
{
public:
    // A writer's open breaks a lease with SIGIO, whose default ends the program; the lease's
    // state is read back instead.
    PosixFileOps() { std::signal(SIGIO, SIG_IGN); }

    FileStamp stamp(const fs::path& file) override
    {
        const struct stat info = lstatOrThrow(file);
        return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                static_cast<std::uintmax_t>(info.st_size), nanoseconds(info.st_mtim)};
    }

    std::error_code renameNoReplace(const fs::path& from, const fs::path& to) override
    {
        return renameWithoutReplacing(from, to);
    }

    OpenFolders openFolders(const std::vector<fs::path>& folders) override
    {
        return openFoldersOnThisThread(folders);
    }

    std::unique_ptr<SourceFile> openSource(const fs::path& file) override
    {
        const FileAt at = locate(file);
        // Not blocking: a pipe named like a song must not hold the pass.
        UniqueFd fd(::openat(at.folder, at.name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (!fd.valid() && errno != ELOOP && errno != EACCES)
            throwLastError("cannot open", file);
        // The kernel refuses a read lease while anyone has the file open for writing, and breaks
        // it when someone opens it for writing later. Where no lease can be had (a link, another
        // user's file, a network file system), the size and time check of a copy must do.
        const bool leased = fd.valid() && ::fcntl(fd.get(), F_SETLEASE, F_RDLCK) == 0;
        if (fd.valid() && !leased && errno == EAGAIN)
            return nullptr;
        return std::make_unique<PosixSourceFile>(file, std::move(fd), leased);
    }

    bool removeIfAbandoned(const fs::path& file) override
    {
        const std::optional<UniqueFd> lock = lockIfAbandoned(file);
        return lock && ::unlink(file.c_str()) == 0;
    }

    std::error_code renameIfAbandoned(const fs::path& from, const fs::path& to) override
    {
        const std::optional<UniqueFd> lock = lockIfAbandoned(from);
        return lock ? renameWithoutReplacing(from, to)
                    : std::make_error_code(std::errc::device_or_resource_busy);
    }

    void flushName(const fs::path& file) override
    {
        const fs::path folder = file.parent_path();
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
