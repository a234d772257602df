#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vorlund {

// One row of a classic folder list.
struct FolderRow
{
    std::string label; // UTF-8 on Windows, the name's bytes elsewhere
    std::filesystem::path path;
    int depth;
    bool isOpenOrAbove; // the open folder or one it lies in
};

// The rows of a folder list open at `open`: its ancestors from the root down, the folder itself,
// then its sub-folders, as the program's shared read of it (folderReads()) found them. An
// unreadable folder shows no sub-folders.
std::vector<FolderRow> folderRows(const std::filesystem::path& open);

// The folder a list opens for `requested` (the current folder for the empty text): absolute,
// without "." or "..", and without a separator at the end unless it is a root. Raises
// PathNotFound when that is no folder.
std::filesystem::path folderToOpen(const std::string& requested);

} // namespace vorlund
