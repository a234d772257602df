#pragma once

#include "engine/file_ops.h"
#include "engine/folder_listing.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace vorlund {

enum class MoveOutcome {
    Moved,             // under the name asked for
    MovedUnderNewName, // that name held other contents: "name (2).ext" and so on
    AlreadyThere,      // an earlier move was cut off after its copy; the source was dropped
    StillBeingWritten, // another program writes it: not a failure, it waits for a later pass
};

struct MoveResult
{
    MoveOutcome outcome;
    std::filesystem::path destination;
};

// Moves files so that none is ever lost, half-copied under its final name, or overwritten.
// Within one volume a move is a single rename; across volumes the copy goes to a hidden
// temporary name, is flushed, takes its final name, and only then is the source deleted.
class FileMover
{
public:
    explicit FileMover(FileOps& ops = systemFileOps()) : m_ops(ops) {}

    // Throws RuntimeError; the source then stays where it was. A copy across volumes tells
    // `progress` how far it got.
    MoveResult move(const std::filesystem::path& source, const std::filesystem::path& destination,
                    const CopyProgress& progress = {});

    // For a run of moves between two folders; see FileOps::openFolders.
    OpenFolders openFolders(const std::filesystem::path& sourceFolder,
                            const std::filesystem::path& destinationFolder)
    {
        return m_ops.openFolders({sourceFolder, destinationFolder});
    }

    // Ends the temporary copies that interrupted moves from `downloadFolder` left in `folder`:
    // removed, or given their download's name when it is the only copy left; returns how many.
    // The folder is searched when it is first seen; later calls look only at the copies that
    // were still being written.
    int endInterruptedCopies(const std::filesystem::path& folder,
                             const std::filesystem::path& downloadFolder);

private:
    struct Placed;
    using Rename = std::function<std::error_code(const std::filesystem::path& to)>;
    // Gives what `rename` renames (the source, or its copy) the destination's name or the first
    // free numbered one; a name already holding the source's contents, or the source itself,
    // counts as placed.
    Placed place(const Rename& rename, const std::filesystem::path& destination,
                 const std::filesystem::path& source, SourceFile& file);
    // Gives a left copy `destination`'s name, or the first free numbered one; false when it
    // could not.
    bool restore(const std::filesystem::path& copy, const std::filesystem::path& destination);
    MoveResult moveAcrossVolumes(SourceFile& file, const std::filesystem::path& source,
                                 const std::filesystem::path& destination,
                                 const CopyProgress& progress);

    FileOps& m_ops;
    std::filesystem::path m_cleanedFolder;
    std::optional<FolderState> m_cleaned;
    std::vector<std::filesystem::path> m_copiesInUse;
};

// "name (n).ext" beside `path`.
std::filesystem::path numberedName(const std::filesystem::path& path, int number);

// Byte for byte, or the same link target for two links.
bool sameContents(SourceFile& file, const std::filesystem::path& source,
                  const std::filesystem::path& other);

} // namespace vorlund
