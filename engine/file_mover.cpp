#include "engine/file_mover.h"

#include "engine/folder_identity.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <random>
#include <string>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view temporaryPrefix = ".vorlund-";
constexpr std::string_view temporarySuffix = ".part";
constexpr std::size_t uniqueDigits = 8;
constexpr int maxNumberedNames = 9999;
// Most file systems take 255 bytes to a name (UTF-16 units on Windows).
constexpr std::size_t maxNameLength = 255;

// A UTF-8 continuation byte, or the second half of a UTF-16 surrogate pair.
template <class Unit> bool continuesACharacter(Unit unit)
{
    if constexpr (sizeof(Unit) == 1)
        return (static_cast<unsigned char>(unit) & 0xC0) == 0x80;
    else
        return unit >= 0xDC00 && unit <= 0xDFFF;
}

fs::path::string_type cutToLength(fs::path::string_type text, std::size_t length)
{
    if (text.size() > length) {
        while (length > 0 && continuesACharacter(text[length]))
            --length;
        text.resize(length);
    }
    return text;
}

// A temporary copy's name carries the download's size and name, so that one left behind whole is
// known from the only copy left of a download: a name too long to carry whole is cut, and marked
// so.
constexpr char wholeName = '-', cutName = '~';

fs::path temporaryNameBeside(const fs::path& destination, const fs::path& download,
                             std::uintmax_t size)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr std::string_view digits = "0123456789abcdef";
    std::string unique(temporaryPrefix);
    for (std::uint64_t bits = random(), i = 0; i < uniqueDigits; ++i, bits >>= 4)
        unique += digits[bits & 0xf];
    unique += '-' + std::to_string(size);
    const fs::path::string_type name = download.filename().native();
    const std::size_t room = maxNameLength - unique.size() - 1 - temporarySuffix.size();
    const fs::path carried = cutToLength(name, room);
    unique += carried.native().size() == name.size() ? wholeName : cutName;
    return destination.parent_path() /
           (fs::path(unique).native() + carried.native() + fs::path(temporarySuffix).native());
}

// Looked at in the system's own spelling: a name that no code page holds is no error.
bool isInterruptedCopyName(const fs::path& name)
{
    const fs::path::string_type text = name.filename().native();
    return text.size() > temporaryPrefix.size() + temporarySuffix.size() &&
           text.starts_with(fs::path(temporaryPrefix).native()) &&
           text.ends_with(fs::path(temporarySuffix).native());
}

// The download that a temporary copy copies, as far as its name tells.
struct CopiedDownload
{
    std::uintmax_t size = 0;
    fs::path name;
    bool cut = false;
};

// None for a name that carries no download's name.
std::optional<CopiedDownload> copiedDownload(const fs::path& copy)
{
    const fs::path::string_type text = copy.filename().native();
    std::size_t at = temporaryPrefix.size() + uniqueDigits;
    if (text.size() <= at || text[at] != '-')
        return std::nullopt;
    CopiedDownload download;
    for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        download.size = download.size * 10 + static_cast<std::uintmax_t>(text[at] - '0');
    if (text.size() <= at + 1 + temporarySuffix.size() ||
        (text[at] != wholeName && text[at] != cutName))
        return std::nullopt;
    download.name = text.substr(at + 1, text.size() - at - 1 - temporarySuffix.size());
    download.cut = text[at] == cutName;
    return download;
}

// Unknown (none) when the download folder cannot tell.
std::optional<bool> stillThere(const fs::path& downloadFolder, const CopiedDownload& download)
{
    std::error_code ec;
    if (!download.cut) {
        const fs::file_status status = fs::symlink_status(downloadFolder / download.name, ec);
        if (ec && status.type() != fs::file_type::not_found)
            return std::nullopt;
        return fs::exists(status);
    }
    for (fs::directory_iterator it(downloadFolder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().native().starts_with(download.name.native()))
            return true;
    }
    return ec ? std::nullopt : std::optional(false);
}

// Deletes the temporary copy unless it took its final name. One that cannot be deleted (its
// folder's drive went away) has the folder searched again by the next cleaning.
class TemporaryCopy
{
public:
    TemporaryCopy(FileOps& ops, fs::path path, std::optional<FolderState>& cleaned)
        : m_ops(ops), m_path(std::move(path)), m_cleaned(cleaned)
    {}
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    ~TemporaryCopy()
    {
        if (m_owned)
            discard();
    }
    const fs::path& path() const { return m_path; }
    void release() { m_owned = false; }
    void discard()
    {
        m_owned = false;
        if (!m_ops.removeIfAbandoned(m_path))
            m_cleaned.reset();
    }

private:
    FileOps& m_ops;
    fs::path m_path;
    std::optional<FolderState>& m_cleaned;
    bool m_owned = true;
};

std::string describeMove(const fs::path& source, const fs::path& destination)
{
    return "cannot move '" + pathText(source) + "' to '" + pathText(destination.parent_path()) +
           "'";
}

} // namespace

struct FileMover::Placed
{
    bool acrossVolumes = false;
    MoveResult result{MoveOutcome::Moved, {}};
};

// A long name gives up the end of its stem to make room for its number.
fs::path numberedName(const fs::path& path, int number)
{
    const fs::path::string_type suffix = fs::path(" (" + std::to_string(number) + ")").native();
    const fs::path::string_type extension = path.extension().native();
    const std::size_t room =
        maxNameLength - std::min(maxNameLength, suffix.size() + extension.size());
    return path.parent_path() / (cutToLength(path.stem().native(), room) + suffix + extension);
}

bool sameContents(SourceFile& file, const fs::path& source, const fs::path& other)
{
    std::error_code ec;
    const bool sourceIsLink = fs::is_symlink(source, ec);
    if (sourceIsLink != fs::is_symlink(other, ec))
        return false;
    if (sourceIsLink)
        return fs::read_symlink(source, ec) == fs::read_symlink(other, ec) && !ec;
    if (!fs::is_regular_file(other, ec) || file.stamp().size != fs::file_size(other, ec) || ec)
        return false;

    // Read through the open source, which shares reading with no one who would delete it.
    std::ifstream second(other, std::ios::binary);
    if (!second)
        return false;
    std::array<char, 1 << 16> one{};
    std::array<char, 1 << 16> two{};
    for (std::uint64_t offset = 0;;) {
        const std::size_t got = file.read(offset, one.data(), one.size());
        second.read(two.data(), static_cast<std::streamsize>(one.size()));
        if (static_cast<std::size_t>(second.gcount()) != got ||
            !std::equal(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(got), two.begin()))
            return false;
        if (got == 0)
            return true;
        offset += got;
    }
}

FileMover::Placed FileMover::place(const Rename& rename, const fs::path& destination,
                                   const fs::path& source, SourceFile& file)
{
    for (int number = 1; number <= maxNumberedNames; ++number) {
        const fs::path candidate = number == 1 ? destination : numberedName(destination, number);
        const std::error_code ec = rename(candidate);
        if (!ec)
            return {false,
                    {number == 1 ? MoveOutcome::Moved : MoveOutcome::MovedUnderNewName, candidate}};
        if (ec == std::errc::cross_device_link)
            return {true, {}};
        if (ec != std::errc::file_exists)
            throw std::system_error(ec, "cannot rename to '" + pathText(candidate) + "'");
        const FileStamp taken = m_ops.stamp(candidate);
        const FileStamp own = file.stamp();
        // The source itself under another spelling would be deleted as its own duplicate.
        if (taken.sameFileAs(own) && sameDirectory(source.parent_path(), candidate.parent_path()))
            throw RuntimeError(ErrorNumber::FileAlreadyExists,
                               "'" + pathText(source) + "' is already in the destination");
        // File IDs are not unique on every file system, and unknown on some: only IDs known and
        // contents equal let the source go as already there (another file, or a second link).
        if (taken.hasId() && own.hasId() && sameContents(file, source, candidate))
            return {false, {MoveOutcome::AlreadyThere, candidate}};
    }
    throw std::system_error(std::make_error_code(std::errc::file_exists),
                            "no free name left for '" + pathText(destination) + "'");
}

MoveResult FileMover::move(const fs::path& source, const fs::path& destination,
                           const CopyProgress& progress)
{
    try {
        const std::unique_ptr<SourceFile> file = m_ops.openSource(source);
        if (!file)
            return {MoveOutcome::StillBeingWritten, {}};
        const Placed placed = place([&](const fs::path& to) { return file->renameNoReplace(to); },
                                    destination, source, *file);
        if (placed.acrossVolumes)
            return moveAcrossVolumes(*file, source, destination, progress);
        if (placed.result.outcome == MoveOutcome::AlreadyThere)
            file->remove();
        return placed.result;
    } catch (const RuntimeError&) {
        throw;
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::text_file_busy)
            return {MoveOutcome::StillBeingWritten, {}};
        throw fileError(error.code(), describeMove(source, destination));
    }
}

MoveResult FileMover::moveAcrossVolumes(SourceFile& file, const fs::path& source,
                                        const fs::path& destination, const CopyProgress& progress)
{
    const FileStamp before = file.stamp();
    TemporaryCopy copy(m_ops, temporaryNameBeside(destination, source, before.size), m_cleaned);
    file.copyToNew(copy.path(), progress);
    for (const fs::path::string_type& part : m_ops.namedParts(source))
        m_ops.copyPart(source, copy.path(), part);
    // Where no lease or share mode keeps writers out (a network file system), a file that changed
    // while it was copied is still being written: it stays for a later pass.
    if (file.stamp() != before)
        return {MoveOutcome::StillBeingWritten, {}};

    const Placed placed =
        place([&](const fs::path& to) { return m_ops.renameNoReplace(copy.path(), to); },
              destination, source, file);
    if (placed.acrossVolumes)
        throw RuntimeError(ErrorNumber::RenameAcrossDrives,
                           describeMove(source, destination) + ": the destination moved away");
    // A copy not needed goes before its source: left by a crash after the source, it would be
    // taken for the only copy left.
    if (placed.result.outcome == MoveOutcome::AlreadyThere)
        copy.discard();
    else
        copy.release();
    m_ops.flushName(placed.result.destination);
    try {
        file.remove();
    } catch (const std::system_error& error) {
        // A writer came after the copy: the source goes on growing, its copy would stay cut short.
        if (error.code() == std::errc::text_file_busy &&
            placed.result.outcome != MoveOutcome::AlreadyThere)
            m_ops.removeIfAbandoned(placed.result.destination);
        throw;
    }
    return placed.result;
}

bool FileMover::restore(const fs::path& copy, const fs::path& destination)
{
    for (int number = 1; number <= maxNumberedNames; ++number) {
        const fs::path candidate = number == 1 ? destination : numberedName(destination, number);
        const std::error_code ec = m_ops.renameIfAbandoned(copy, candidate);
        if (ec != std::errc::file_exists)
            return !ec;
        // Its move took place after all.
        bool same = false;
        if (const std::unique_ptr<SourceFile> file = m_ops.openSource(copy))
            same = sameContents(*file, copy, candidate);
        if (same)
            return m_ops.removeIfAbandoned(copy);
    }
    return false;
}

int FileMover::endInterruptedCopies(const fs::path& folder, const fs::path& downloadFolder)
{
    int ended = 0;
    std::vector<fs::path> inUse;
    // A copy whose download is still in the download folder is removed; one whose download is
    // gone is the only copy left (a crash lost its rename, not the source's deletion) and takes
    // the download's name. Where that cannot be told, it stays.
    const auto lookAt = [&](const fs::path& candidate) {
        std::error_code ec;
        if (!isInterruptedCopyName(candidate) || !fs::exists(fs::symlink_status(candidate, ec)))
            return;
        // A copy cut short is never the only copy left: its source was deleted only after it was
        // whole.
        const std::optional<CopiedDownload> download = copiedDownload(candidate);
        const std::optional<bool> there =
            download && fs::file_size(candidate, ec) == download->size && !ec
                ? stillThere(downloadFolder, *download)
                : std::optional(true);
        const bool done = there && (*there ? m_ops.removeIfAbandoned(candidate)
                                           : restore(candidate, folder / download->name));
        if (done)
            ++ended;
        else if (std::find(inUse.begin(), inUse.end(), candidate) == inUse.end())
            inUse.push_back(candidate);
    };
    // What an interrupted copy leaves is found when the folder is first looked at: its program,
    // killed, is gone by then. A copy that another program of ours still writes is looked at
    // again each time, until it ends one way or the other.
    const std::optional<FolderState> state = folderState(folder);
    const bool seen =
        state && m_cleaned && folder == m_cleanedFolder && state->sameFolderAs(*m_cleaned);
    m_cleanedFolder = folder;
    m_cleaned = state;
    if (seen) {
        for (const fs::path& copy : m_copiesInUse)
            lookAt(copy);
    } else {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            lookAt(it->path());
    }
    m_copiesInUse = std::move(inUse);
    return ended;
}

} // namespace vorlund
