#include "window/folder_tree.h"

#include "engine/folder_reads.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"

#include <deque>
#include <system_error>

namespace vorlund {

std::vector<FolderRow> folderRows(const std::filesystem::path& open)
{
    std::deque<std::filesystem::path> chain;
    for (std::filesystem::path folder = open;; folder = folder.parent_path()) {
        chain.push_front(folder);
        if (!folder.has_relative_path())
            break;
    }
    std::vector<FolderRow> rows;
    for (const std::filesystem::path& folder : chain) {
        const std::filesystem::path label = folder.has_relative_path() ? folder.filename() : folder;
        rows.push_back({pathText(label), folder, static_cast<int>(rows.size()), true});
    }
    std::vector<std::string> subfolders;
    try {
        subfolders = folderReads().read(open)->entries.subfolders();
    } catch (const RuntimeError&) {
    }
    const int depth = static_cast<int>(chain.size());
    for (std::string& name : subfolders) {
        std::filesystem::path path = open / pathFromText(name);
        rows.push_back({std::move(name), std::move(path), depth, false});
    }
    return rows;
}

std::filesystem::path folderToOpen(const std::string& requested)
{
    std::error_code error;
    std::filesystem::path folder =
        requested.empty() ? std::filesystem::current_path(error) : pathFromText(requested);
    // Asked of the system itself: MinGW's std::filesystem cannot take a path past 260 characters.
    if (error || !folderState(folder))
        throw RuntimeError(ErrorNumber::PathNotFound, "folder not found: '" + requested + "'");
    folder = std::filesystem::absolute(folder, error).lexically_normal();
    if (folder.has_relative_path() && !folder.has_filename())
        folder = folder.parent_path();
    return folder.make_preferred();
}

} // namespace vorlund
