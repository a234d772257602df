#pragma once

#include "engine/file_ops.h"

#include <functional>
#include <string>
#include <vector>

namespace vorlund::test {

// The real file system, with hooks that tests set to inject faults between the real steps.
class FaultyOps : public FileOps
{
public:
    // Every rename out of a folder fails as if the two folders lay on different volumes.
    bool pretendOtherVolume = false;
    // Runs before each real rename; an error it returns is the rename's result.
    std::function<std::error_code(const std::filesystem::path& from)> beforeRename;
    std::function<void(const std::filesystem::path& from)> afterCopy;
    // Runs on each piece of a copy, before the progress is passed on.
    std::function<void()> duringCopy;
    // The steps that make a move across volumes lasting, in the order taken.
    std::vector<std::string> steps;

    FileStamp stamp(const std::filesystem::path& file) override { return real().stamp(file); }
    std::error_code renameNoReplace(const std::filesystem::path& from,
                                    const std::filesystem::path& to) override
    {
        if (const std::error_code fault = beforeRename ? beforeRename(from) : std::error_code())
            return fault;
        // Renames inside one folder (a temporary copy taking its name) stay real.
        if (pretendOtherVolume && from.parent_path() != to.parent_path())
            return std::make_error_code(std::errc::cross_device_link);
        return real().renameNoReplace(from, to);
    }
    FolderHold holdFolders(const std::vector<std::filesystem::path>& folders) override
    {
        return real().holdFolders(folders);
    }
    void copyToNew(const std::filesystem::path& from, const std::filesystem::path& to,
                   const CopyProgress& progress) override
    {
        real().copyToNew(from, to, [&](std::uintmax_t copied, std::uintmax_t total) {
            if (duringCopy)
                duringCopy();
            if (progress)
                progress(copied, total);
        });
        if (afterCopy)
            afterCopy(from);
    }
    void remove(const std::filesystem::path& file) override
    {
        steps.push_back("remove");
        real().remove(file);
    }
    bool removeIfAbandoned(const std::filesystem::path& file) override
    {
        return real().removeIfAbandoned(file);
    }
    void flushFolder(const std::filesystem::path& folder) override
    {
        steps.push_back("flushFolder");
        real().flushFolder(folder);
    }

private:
    static FileOps& real() { return systemFileOps(); }
};

} // namespace vorlund::test
