#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

namespace vorlund {

// Which file an entry names, and what tells whether it changed between two looks at it.
struct FileStamp
{
    std::uint64_t volume = 0; // device; volume serial number on Windows
    std::uint64_t index = 0;  // inode; on Windows the file ID's low half
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t indexHigh = 0; // the high half of a 128-bit file ID (ReFS)

    bool operator==(const FileStamp&) const = default;
    // Some file systems (network and user-space ones) give every file the ID 0: unknown.
    bool hasId() const { return index != 0 || indexHigh != 0; }
    bool sameFileAs(const FileStamp& other) const
    {
        return hasId() && volume == other.volume && index == other.index &&
               indexHigh == other.indexHigh;
    }
};

// Told after each piece of a copy: bytes copied so far, and the file's size.
using CopyProgress = std::function<void(std::uintmax_t copied, std::uintmax_t total)>;

// Folders kept open for as long as it lives; see FileOps::openFolders.
class OpenFolders
{
public:
    OpenFolders() = default;
    explicit OpenFolders(std::function<void()> release) : m_release(std::move(release)) {}
    OpenFolders(OpenFolders&& other) noexcept : m_release(std::exchange(other.m_release, {})) {}
    OpenFolders& operator=(OpenFolders&& other) noexcept
    {
        if (this != &other) {
            release();
            m_release = std::exchange(other.m_release, {});
        }
        return *this;
    }
    OpenFolders(const OpenFolders&) = delete;
    OpenFolders& operator=(const OpenFolders&) = delete;
    ~OpenFolders() { release(); }

private:
    void release()
    {
        if (m_release)
            std::exchange(m_release, {})();
    }

    std::function<void()> m_release;
};

// The source of a move, opened so that no other program starts writing it while this lives: on
// Linux a read lease, on Windows a handle that shares only reading. Its moves go through it.
class SourceFile
{
public:
    virtual ~SourceFile() = default;

    virtual FileStamp stamp() = 0;

    // Up to `size` bytes from `offset`; 0 at the end.
    virtual std::size_t read(std::uint64_t offset, char* buffer, std::size_t size) = 0;

    // As FileOps::renameNoReplace. errc::text_file_busy when a writer asked for the file while it
    // was renamed: the rename is undone, as the writer would write into the moved file.
    virtual std::error_code renameNoReplace(const std::filesystem::path& to) = 0;

    // Creates `to`, which must not exist, with the file's contents (a link as a link), mode, times
    // and the named data that the destination accepts (extended attributes; alternate data
    // streams, the Mark of the Web among them), and flushes it to disk before returning.
    // `progress`, when set, hears of each piece copied. Throws errc::text_file_busy when a writer
    // asked for the file meanwhile.
    virtual void copyToNew(const std::filesystem::path& to, const CopyProgress& progress) = 0;

    virtual void remove() = 0;
};

// The file system as the mover uses it. One implementation per OS; tests derive from it to
// inject faults. Failures are thrown as std::system_error carrying the OS's own error.
class FileOps
{
public:
    virtual ~FileOps() = default;

    // The file itself, not what a link points to.
    virtual FileStamp stamp(const std::filesystem::path& file) = 0;

    // One atomic rename that never replaces `to`; errc::file_exists when `to` is taken,
    // errc::cross_device_link when the two lie on different volumes.
    virtual std::error_code renameNoReplace(const std::filesystem::path& from,
                                            const std::filesystem::path& to) = 0;

    // Keeps `folders` open while the result lives, so that renames of the files right inside them
    // on this thread reach them through the open folders, as `mv` does, instead of looking each
    // path up again. A folder replaced meanwhile is still the one open. Ends on the thread that
    // opened it. Where the system has no such thing, nothing is kept open.
    virtual OpenFolders openFolders(const std::vector<std::filesystem::path>& /*folders*/)
    {
        return {};
    }

    // The file opened for its move, or nullptr while another program holds it open for writing:
    // a download still arriving, whatever its name says.
    virtual std::unique_ptr<SourceFile> openSource(const std::filesystem::path& file) = 0;

    // Removes a temporary file unless a running copy still writes it; true when removed.
    virtual bool removeIfAbandoned(const std::filesystem::path& file) = 0;
    // As renameNoReplace, but fails while a running copy still writes `from`.
    virtual std::error_code renameIfAbandoned(const std::filesystem::path& from,
                                              const std::filesystem::path& to) = 0;

    // What a file holds beside its contents that a copy keeps: on Windows its alternate data
    // streams (":Zone.Identifier:$DATA", the Mark of the Web), each as its name's suffix.
    virtual std::vector<std::filesystem::path::string_type>
    namedParts(const std::filesystem::path& /*file*/)
    {
        return {};
    }
    // Copies one of them to the copy `to`; one that the destination cannot hold (FAT) is left.
    virtual void copyPart(const std::filesystem::path& /*from*/,
                          const std::filesystem::path& /*to*/,
                          const std::filesystem::path::string_type& /*part*/)
    {}

    // Makes the name that `file` was just given durable, with the rest of its folder's entries.
    virtual void flushName(const std::filesystem::path& file) = 0;
};

FileOps& systemFileOps();

} // namespace vorlund
