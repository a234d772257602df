#pragma once

#include "engine/file_ops.h"

#include <filesystem>
#include <vector>

namespace vorlund {

// A file as the *at() calls take it: a folder handle and a name relative to it.
struct FileAt
{
    int folder;
    const char* name;
};

// Opens the folders for this thread; see FileOps::openFolders.
OpenFolders openFoldersOnThisThread(const std::vector<std::filesystem::path>& folders);

// Through a folder this thread has open when the file lies right inside one, else by its path.
// Valid for as long as `file` is.
FileAt locate(const std::filesystem::path& file);

} // namespace vorlund
