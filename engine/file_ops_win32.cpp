#include "engine/file_ops.h"
#include "engine/file_time_win32.h"
#include "engine/owned_handle.h"
#include "engine/runtime_error.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a copy takes over from its source; the rest (compression, encryption, sparseness) is
// not set through attributes.
constexpr DWORD copiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

[[noreturn]] void throwError(DWORD error, const char* what, const fs::path& path)
{
    throw std::system_error(std::error_code(static_cast<int>(error), std::system_category()),
                            std::string(what) + " '" + displayPath(path) + "'");
}

[[noreturn]] void throwLastError(const char* what, const fs::path& path)
{
    throwError(::GetLastError(), what, path);
}

HANDLE noHandle()
{
    return INVALID_HANDLE_VALUE;
}

bool closeHandle(HANDLE handle)
{
    return ::CloseHandle(handle);
}

using UniqueHandle = OwnedHandle<HANDLE, noHandle, closeHandle>;

// The entry itself: a link is opened as the link, not as what it points to.
UniqueHandle openEntry(const fs::path& path, DWORD access, DWORD share)
{
    return UniqueHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
}

struct EntryInfo
{
    BY_HANDLE_FILE_INFORMATION file;
    bool isLink;

    std::uint64_t index() const
    {
        return (std::uint64_t{file.nFileIndexHigh} << 32) | file.nFileIndexLow;
    }
    std::uintmax_t size() const
    {
        return (std::uintmax_t{file.nFileSizeHigh} << 32) | file.nFileSizeLow;
    }
};

EntryInfo infoOf(HANDLE handle, const fs::path& path)
{
    EntryInfo info{};
    if (!::GetFileInformationByHandle(handle, &info.file))
        throwLastError("cannot read", path);
    // Junctions and the reparse points of cloud or deduplicated files are no links.
    if (info.file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
            throwLastError("cannot read", path);
        info.isLink = tag.ReparseTag == IO_REPARSE_TAG_SYMLINK;
    }
    return info;
}

LARGE_INTEGER asInteger(const FILETIME& time)
{
    LARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return value;
}

// DeleteFileW refuses a read-only file, which is still the user's to move: the mark goes first,
// and comes back when the file stays all the same. Returns the failure, or 0.
DWORD deleteFile(const fs::path& file)
{
    if (::DeleteFileW(file.c_str()))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY) ||
        !::SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return error;
    if (::DeleteFileW(file.c_str()))
        return ERROR_SUCCESS;
    const DWORD retried = ::GetLastError();
    ::SetFileAttributesW(file.c_str(), attributes);
    return retried;
}

void copyData(HANDLE in, HANDLE out, const fs::path& from, const fs::path& to, std::uintmax_t total,
              const CopyProgress& report)
{
    std::vector<char> buffer(1 << 20);
    std::uintmax_t copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            throwLastError("cannot read", from);
        if (got == 0)
            return;
        for (DWORD done = 0; done < got;) {
            DWORD put = 0;
            if (!::WriteFile(out, buffer.data() + done, got - done, &put, nullptr))
                throwLastError("cannot write", to);
            done += put;
        }
        copied += got;
        if (report)
            report(copied, total);
    }
}

void copyLink(const fs::path& from, const fs::path& to)
{
    if (!::CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr,
                       COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_COPY_SYMLINK))
        throwLastError("cannot create", to);
}

class Win32FileOps final : public FileOps
{
public:
    FileStamp stamp(const fs::path& file) override
    {
        const UniqueHandle handle = openEntry(file, FILE_READ_ATTRIBUTES, shareAll);
        if (!handle.valid())
            throwLastError("cannot read", file);
        const EntryInfo info = infoOf(handle.get(), file);
        return {info.file.dwVolumeSerialNumber, info.index(), info.size(),
                unixNanoseconds(asInteger(info.file.ftLastWriteTime))};
    }

    std::error_code renameNoReplace(const fs::path& from, const fs::path& to) override
    {
        showCopy(from);
        // Without MOVEFILE_REPLACE_EXISTING a taken name fails; without MOVEFILE_COPY_ALLOWED,
        // so does another volume, which the mover then copies to itself.
        if (::MoveFileExW(from.c_str(), to.c_str(), 0)) {
            // It "renames" a file onto itself, spelled another way (".", letter case, a short
            // name, a second hard link), by doing nothing and succeeding; that name is taken as
            // far as the mover is concerned. Seen afterwards by the source still there: Wine
            // reads a whole folder to find a name missing from it, the destination's not
            // the download folder's.
            const bool stayed = ::GetFileAttributesW(from.c_str()) != INVALID_FILE_ATTRIBUTES;
            if (stayed && stamp(from).sameFileAs(stamp(to)))
                return std::make_error_code(std::errc::file_exists);
            return {};
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return std::make_error_code(std::errc::file_exists);
        if (error == ERROR_NOT_SAME_DEVICE)
            return std::make_error_code(std::errc::cross_device_link);
        return {static_cast<int>(error), std::system_category()};
    }

    void copyToNew(const fs::path& from, const fs::path& to, const CopyProgress& report) override
    {
        // Sharing only reading: a file that another program still holds open for writing fails
        // here with a sharing violation, rather than arriving cut short while what is still
        // written goes to a deleted source; and no one starts writing it while it is copied.
        UniqueHandle in = openEntry(from, GENERIC_READ, FILE_SHARE_READ);
        if (!in.valid())
            throwLastError("cannot open", from);
        const EntryInfo info = infoOf(in.get(), from);
        if (info.isLink)
            return copyLink(from, to);

        // Hidden while it has a temporary name, as a dot name is hidden elsewhere. Shared with no
        // one until closed, so that another instance's clean-up cannot delete it midway.
        UniqueHandle out(::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!out.valid())
            throwLastError("cannot create", to);
        copyData(in.get(), out.get(), from, to, info.size(), report);

        FILE_BASIC_INFO basic{};
        basic.CreationTime = asInteger(info.file.ftCreationTime);
        basic.LastWriteTime = asInteger(info.file.ftLastWriteTime);
        basic.FileAttributes =
            (info.file.dwFileAttributes & copiedAttributes) | FILE_ATTRIBUTE_HIDDEN;
        if (!::SetFileInformationByHandle(out.get(), FileBasicInfo, &basic, sizeof basic) ||
            !::FlushFileBuffers(out.get()) || !out.close())
            throwLastError("cannot write", to);
        if (!(info.file.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            rememberHiddenCopy(to);
    }

    void remove(const fs::path& file) override
    {
        forgetCopy(file);
        if (const DWORD error = deleteFile(file))
            throwError(error, "cannot delete", file);
    }

    // A running copy holds its file open sharing nothing, and DeleteFileW fails on a file held
    // open that way.
    bool removeIfAbandoned(const fs::path& file) override
    {
        if (deleteFile(file) != ERROR_SUCCESS)
            return false;
        forgetCopy(file);
        return true;
    }

    // Windows flushes a folder's entries only through a handle that may write the folder, which
    // a user's own folders grant and shares or folders granted only "add files" do not; FAT
    // cannot flush a folder at all. Where either fails there is no stronger promise to wait for
    // than the file system's own: NTFS commits the rename with its journal in its own time.
    void flushFolder(const fs::path& folder) override
    {
        const UniqueHandle handle(::CreateFileW(folder.c_str(), GENERIC_WRITE, shareAll, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                nullptr));
        if (!handle.valid()) {
            if (::GetLastError() == ERROR_ACCESS_DENIED)
                return;
            throwLastError("cannot open", folder);
        }
        if (!::FlushFileBuffers(handle.get())) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_FUNCTION &&
                error != ERROR_NOT_SUPPORTED)
                throwError(error, "cannot flush", folder);
        }
    }

private:
    // The copies that are hidden only for their temporary name. One shows again just before it
    // takes its final name, so that a crash can leave a visible temporary file, which a later
    // pass removes, but never a hidden download.
    void rememberHiddenCopy(const fs::path& copy)
    {
        const std::lock_guard lock(m_mutex);
        m_hiddenCopies.insert(copy);
    }
    void forgetCopy(const fs::path& copy)
    {
        const std::lock_guard lock(m_mutex);
        m_hiddenCopies.erase(copy);
    }
    void showCopy(const fs::path& copy)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_hiddenCopies.erase(copy) == 0)
                return;
        }
        const DWORD attributes = ::GetFileAttributesW(copy.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            ::SetFileAttributesW(copy.c_str(), attributes & ~FILE_ATTRIBUTE_HIDDEN);
    }

    std::mutex m_mutex;
    std::set<fs::path> m_hiddenCopies;
};

} // namespace

FileOps& systemFileOps()
{
    static Win32FileOps ops;
    return ops;
}

} // namespace vorlund
