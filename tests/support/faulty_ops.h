#pragma once

#include "engine/file_ops.h"

#include <functional>

namespace vorlund::test {

// The real file system, with hooks that tests set to inject faults between the real steps.
class FaultyOps : public FileOps
{
public:
    // Every rename out of a folder fails as if the two folders lay on different volumes.
    bool pretendOtherVolume = false;
    // Runs before each real rename; an error it returns is the rename's result.
    std::function<std::error_code(const std::filesystem::path& from,
                                  const std::filesystem::path& to)>
        beforeRename;
    std::function<void(const std::filesystem::path& from, const std::filesystem::path& to)>
        afterCopy;
    std::function<void(const std::filesystem::path& file)> beforeRemove;
    // Runs on each piece of a copy, before the progress is passed on.
    std::function<void(std::uintmax_t copied)> duringCopy;

    FileStamp stamp(const std::filesystem::path& file) override;
    std::error_code renameNoReplace(const std::filesystem::path& from,
                                    const std::filesystem::path& to) override;
    FolderHold holdFolders(const std::vector<std::filesystem::path>& folders) override;
    void copyToNew(const std::filesystem::path& from, const std::filesystem::path& to,
                   const CopyProgress& progress) override;
    void remove(const std::filesystem::path& file) override;
    bool removeIfAbandoned(const std::filesystem::path& file) override;
    void flushFolder(const std::filesystem::path& folder) override;
};

} // namespace vorlund::test
