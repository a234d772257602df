#include "engine/file_ops.h"
#include "engine/file_time_win32.h"
#include "engine/owned_handle.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "engine/system_path.h"

#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
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
                            std::string(what) + " '" + pathText(path) + "'");
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
    return UniqueHandle(
        ::CreateFileW(systemPath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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

bool isReparsePointButNoLink(HANDLE handle, const fs::path& path)
{
    const EntryInfo info = infoOf(handle, path);
    return (info.file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !info.isLink;
}

// Shares only reading, and may delete: fails while anyone writes the file, and keeps writers out.
// Opened as a reparse point, a cloud placeholder (OneDrive's "free up space") or a deduplicated
// file reads without its filter: not its contents. Only a link is kept as itself; the rest is
// opened through its filter, which recalls it.
UniqueHandle openForMove(const fs::path& file)
{
    constexpr DWORD access = GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES;
    UniqueHandle handle = openEntry(file, access, FILE_SHARE_READ);
    if (!handle.valid() || !isReparsePointButNoLink(handle.get(), file))
        return handle;
    handle.close();
    return UniqueHandle(::CreateFileW(systemPath(file).c_str(), access, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The 128-bit file ID where the file system gives one (ReFS needs it), else the 64-bit index.
FileStamp stampOf(HANDLE handle, const fs::path& path)
{
    const EntryInfo info = infoOf(handle, path);
    FileStamp stamp{info.file.dwVolumeSerialNumber, info.index(), info.size(),
                    unixNanoseconds(asInteger(info.file.ftLastWriteTime))};
    FILE_ID_INFO id{};
    if (::GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        std::memcpy(&stamp.index, id.FileId.Identifier, sizeof stamp.index);
        std::memcpy(&stamp.indexHigh, id.FileId.Identifier + sizeof stamp.index,
                    sizeof stamp.indexHigh);
        stamp.volume = id.VolumeSerialNumber;
    }
    return stamp;
}

// DeleteFileW refuses a read-only file, which is still the user's to move: the mark goes first,
// and comes back when the file stays all the same. Returns the failure, or 0.
DWORD deleteFile(const fs::path& file)
{
    if (::DeleteFileW(systemPath(file).c_str()))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(systemPath(file).c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY) ||
        !::SetFileAttributesW(systemPath(file).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return error;
    if (::DeleteFileW(systemPath(file).c_str()))
        return ERROR_SUCCESS;
    const DWORD retried = ::GetLastError();
    ::SetFileAttributesW(systemPath(file).c_str(), attributes);
    return retried;
}

// The same for a file open with DELETE access: marked for deletion, gone once closed.
bool markForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition);
}

DWORD deleteOpenFile(HANDLE file, DWORD attributes)
{
    if (markForDeletion(file))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
    if (error != ERROR_ACCESS_DENIED || !(attributes & FILE_ATTRIBUTE_READONLY) ||
        !::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic))
        return error;
    if (markForDeletion(file))
        return ERROR_SUCCESS;
    const DWORD retried = ::GetLastError();
    basic.FileAttributes = attributes;
    ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
    return retried;
}

std::error_code renameResult(DWORD error)
{
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return std::make_error_code(std::errc::file_exists);
    if (error == ERROR_NOT_SAME_DEVICE)
        return std::make_error_code(std::errc::cross_device_link);
    return {static_cast<int>(error), std::system_category()};
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
    if (!::CopyFileExW(systemPath(from).c_str(), systemPath(to).c_str(), nullptr, nullptr, nullptr,
                       COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_COPY_SYMLINK))
        throwLastError("cannot create", to);
}

// The copies that are hidden only for their temporary name. One shows again just before it takes
// its final name, so that a crash can leave a visible temporary file, which a later pass removes,
// but never a hidden download.
class HiddenCopies
{
public:
    void remember(const fs::path& copy)
    {
        const std::lock_guard lock(m_mutex);
        m_copies.insert(copy);
    }
    void forget(const fs::path& copy)
    {
        const std::lock_guard lock(m_mutex);
        m_copies.erase(copy);
    }
    void show(const fs::path& copy)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_copies.erase(copy) == 0)
                return;
        }
        const DWORD attributes = ::GetFileAttributesW(systemPath(copy).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            ::SetFileAttributesW(systemPath(copy).c_str(), attributes & ~FILE_ATTRIBUTE_HIDDEN);
    }

private:
    std::mutex m_mutex;
    std::set<fs::path> m_copies;
};

// Open sharing only reading, and with the right to delete: no one else writes or deletes it until
// it has moved, and it cannot be opened while anyone writes it.
class Win32SourceFile final : public SourceFile
{
public:
    Win32SourceFile(fs::path path, UniqueHandle handle, HiddenCopies& hiddenCopies)
        : m_path(std::move(path)), m_handle(std::move(handle)), m_hiddenCopies(hiddenCopies)
    {}

    FileStamp stamp() override { return stampOf(m_handle.get(), m_path); }

    std::size_t read(std::uint64_t offset, char* buffer, std::size_t size) override
    {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!::ReadFile(m_handle.get(), buffer, static_cast<DWORD>(size), &got, &at) &&
            ::GetLastError() != ERROR_HANDLE_EOF)
            throwLastError("cannot read", m_path);
        return got;
    }

    std::error_code renameNoReplace(const fs::path& to) override
    {
        const std::wstring name = systemPath(to).native();
        std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = FALSE;
        rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::copy(name.begin(), name.end() + 1, rename->FileName); // with its terminating zero
        if (!::SetFileInformationByHandle(m_handle.get(), FileRenameInfo, rename,
                                          static_cast<DWORD>(buffer.size())))
            return renameResult(::GetLastError());
        // A rename onto the file itself, spelled another way (".", letter case, a short name, a
        // second hard link), succeeds by doing nothing; that name is taken as far as the mover is
        // concerned. Seen afterwards by the source still there.
        const UniqueHandle stayed = openEntry(m_path, FILE_READ_ATTRIBUTES, shareAll);
        if (stayed.valid() && stampOf(stayed.get(), m_path).sameFileAs(stamp()))
            return std::make_error_code(std::errc::file_exists);
        return {};
    }

    void copyToNew(const fs::path& to, const CopyProgress& report) override
    {
        const EntryInfo info = infoOf(m_handle.get(), m_path);
        if (info.isLink)
            return copyLink(m_path, to);

        // Hidden while it has a temporary name, as a dot name is hidden elsewhere. Shared with no
        // one until closed, so that another instance's clean-up cannot delete it midway.
        UniqueHandle out(::CreateFileW(systemPath(to).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!out.valid())
            throwLastError("cannot create", to);
        // From the start, wherever a comparison of contents left the file's position.
        ::SetFilePointerEx(m_handle.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN);
        copyData(m_handle.get(), out.get(), m_path, to, info.size(), report);

        FILE_BASIC_INFO basic{};
        basic.CreationTime = asInteger(info.file.ftCreationTime);
        basic.LastWriteTime = asInteger(info.file.ftLastWriteTime);
        basic.FileAttributes =
            (info.file.dwFileAttributes & copiedAttributes) | FILE_ATTRIBUTE_HIDDEN;
        if (!::SetFileInformationByHandle(out.get(), FileBasicInfo, &basic, sizeof basic) ||
            !::FlushFileBuffers(out.get()) || !out.close())
            throwLastError("cannot write", to);
        if (!(info.file.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            m_hiddenCopies.remember(to);
    }

    void remove() override
    {
        const DWORD attributes = infoOf(m_handle.get(), m_path).file.dwFileAttributes;
        if (const DWORD error = deleteOpenFile(m_handle.get(), attributes))
            throwError(error, "cannot delete", m_path);
        if (!m_handle.close())
            throwLastError("cannot delete", m_path);
    }

private:
    fs::path m_path;
    UniqueHandle m_handle;
    HiddenCopies& m_hiddenCopies;
};

class Win32FileOps final : public FileOps
{
public:
    FileStamp stamp(const fs::path& file) override
    {
        const UniqueHandle handle = openEntry(file, FILE_READ_ATTRIBUTES, shareAll);
        if (!handle.valid())
            throwLastError("cannot read", file);
        return stampOf(handle.get(), file);
    }

    std::error_code renameNoReplace(const fs::path& from, const fs::path& to) override
    {
        m_hiddenCopies.show(from);
        // Without MOVEFILE_REPLACE_EXISTING a taken name fails; without MOVEFILE_COPY_ALLOWED,
        // so does another volume, which the mover then copies to itself.
        if (::MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(), 0)) {
            // It "renames" a file onto itself, spelled another way (".", letter case, a short
            // name, a second hard link), by doing nothing and succeeding; that name is taken as
            // far as the mover is concerned. Seen afterwards by the source still there: Wine
            // reads a whole folder to find a name missing from it, the destination's not
            // the download folder's.
            const bool stayed =
                ::GetFileAttributesW(systemPath(from).c_str()) != INVALID_FILE_ATTRIBUTES;
            if (stayed && stamp(from).sameFileAs(stamp(to)))
                return std::make_error_code(std::errc::file_exists);
            return {};
        }
        return renameResult(::GetLastError());
    }

    std::unique_ptr<SourceFile> openSource(const fs::path& file) override
    {
        UniqueHandle handle = openForMove(file);
        if (handle.valid())
            return std::make_unique<Win32SourceFile>(file, std::move(handle), m_hiddenCopies);
        if (::GetLastError() == ERROR_SHARING_VIOLATION)
            return nullptr;
        throwLastError("cannot open", file);
    }

    // A running copy holds its file open sharing nothing, and DeleteFileW fails on a file held
    // open that way.
    bool removeIfAbandoned(const fs::path& file) override
    {
        if (deleteFile(file) != ERROR_SUCCESS)
            return false;
        m_hiddenCopies.forget(file);
        return true;
    }

    // The alternate data streams, as CopyFileEx keeps them.
    std::vector<std::wstring> namedParts(const fs::path& file) override
    {
        std::vector<std::wstring> streams;
        WIN32_FIND_STREAM_DATA stream{};
        const HANDLE found =
            ::FindFirstStreamW(systemPath(file).c_str(), FindStreamInfoStandard, &stream, 0);
        if (found == INVALID_HANDLE_VALUE)
            return streams;
        do {
            if (std::wstring_view(stream.cStreamName) != L"::$DATA")
                streams.emplace_back(stream.cStreamName);
        } while (::FindNextStreamW(found, &stream));
        ::FindClose(found);
        return streams;
    }

    void copyPart(const fs::path& from, const fs::path& to, const std::wstring& part) override
    {
        const UniqueHandle in(::CreateFileW(systemPath(from.native() + part).c_str(), GENERIC_READ,
                                            shareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        const UniqueHandle out(::CreateFileW(systemPath(to.native() + part).c_str(), GENERIC_WRITE,
                                             0, nullptr, CREATE_NEW, 0, nullptr));
        LARGE_INTEGER size{};
        if (!in.valid() || !out.valid() || !::GetFileSizeEx(in.get(), &size))
            return;
        copyData(in.get(), out.get(), from, to, static_cast<std::uintmax_t>(size.QuadPart), {});
        ::FlushFileBuffers(out.get());
        // Writing a stream stamps its file with the time of day: the copy takes the source's back.
        const UniqueHandle source = openEntry(from, FILE_READ_ATTRIBUTES, shareAll);
        const UniqueHandle copy = openEntry(to, FILE_WRITE_ATTRIBUTES, shareAll);
        FILE_BASIC_INFO times{};
        if (source.valid() && copy.valid() &&
            ::GetFileInformationByHandleEx(source.get(), FileBasicInfo, &times, sizeof times)) {
            times.LastAccessTime = times.ChangeTime = LARGE_INTEGER{}; // left as they are
            times.FileAttributes = 0;
            ::SetFileInformationByHandle(copy.get(), FileBasicInfo, &times, sizeof times);
        }
    }

    // Renaming fails as deleting does while a running copy holds the file.
    std::error_code renameIfAbandoned(const fs::path& from, const fs::path& to) override
    {
        return renameNoReplace(from, to);
    }

    // Windows flushes a folder's entries only through a handle that may write the folder, which
    // a user's own folders grant and shares or folders granted only "add files" do not. FAT
    // does nothing for a folder, and flushes a file's entry with the file: both are flushed, and
    // where neither can be (a read-only file on a share) there is no stronger promise to wait
    // for than the file system's own: NTFS commits the rename with its journal in its own time.
    void flushName(const fs::path& file) override
    {
        for (const fs::path& entry : {file, file.parent_path()}) {
            const UniqueHandle handle(::CreateFileW(systemPath(entry).c_str(), GENERIC_WRITE,
                                                    shareAll, nullptr, OPEN_EXISTING,
                                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!handle.valid()) {
                if (::GetLastError() == ERROR_ACCESS_DENIED)
                    continue;
                throwLastError("cannot open", entry);
            }
            if (!::FlushFileBuffers(handle.get())) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_FUNCTION &&
                    error != ERROR_NOT_SUPPORTED)
                    throwError(error, "cannot flush", entry);
            }
        }
    }

private:
    HiddenCopies m_hiddenCopies;
};

} // namespace

FileOps& systemFileOps()
{
    static Win32FileOps ops;
    return ops;
}

} // namespace vorlund
