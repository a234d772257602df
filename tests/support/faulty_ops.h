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
    // Runs on each piece of a copy, before the progress is passed on.
    std::function<void()> duringCopy;
    // Parts that every file is said to have beside the system's own, as streams where Wine has
    // none.
    std::vector<std::filesystem::path::string_type> extraParts;
    // Every file has one ID, as on file systems whose IDs are not unique.
    bool oneIdForAll = false;
    // The steps that make a move across volumes lasting, in the order taken.
    std::vector<std::string> steps;

    FileStamp stamp(const std::filesystem::path& file) override
    {
        return withFaults(real().stamp(file));
    }
    std::error_code renameNoReplace(const std::filesystem::path& from,
                                    const std::filesystem::path& to) override
    {
        const std::error_code fault = faultOfRename(from, to);
        return fault ? fault : real().renameNoReplace(from, to);
    }
    OpenFolders openFolders(const std::vector<std::filesystem::path>& folders) override
    {
        return real().openFolders(folders);
    }
    std::unique_ptr<SourceFile> openSource(const std::filesystem::path& file) override
    {
        std::unique_ptr<SourceFile> source = real().openSource(file);
        return source ? std::make_unique<Source>(*this, file, std::move(source)) : nullptr;
    }
    bool removeIfAbandoned(const std::filesystem::path& file) override
    {
        return real().removeIfAbandoned(file);
    }
    std::error_code renameIfAbandoned(const std::filesystem::path& from,
                                      const std::filesystem::path& to) override
    {
        return real().renameIfAbandoned(from, to);
    }
    std::vector<std::filesystem::path::string_type>
    namedParts(const std::filesystem::path& file) override
    {
        std::vector<std::filesystem::path::string_type> parts = real().namedParts(file);
        parts.insert(parts.end(), extraParts.begin(), extraParts.end());
        return parts;
    }
    void copyPart(const std::filesystem::path& from, const std::filesystem::path& to,
                  const std::filesystem::path::string_type& part) override
    {
        real().copyPart(from, to, part);
    }
    void flushName(const std::filesystem::path& file) override
    {
        steps.push_back("flushName");
        real().flushName(file);
    }

private:
    class Source : public SourceFile
    {
    public:
        Source(FaultyOps& ops, std::filesystem::path path, std::unique_ptr<SourceFile> real)
            : m_ops(ops), m_path(std::move(path)), m_real(std::move(real))
        {}
        FileStamp stamp() override { return m_ops.withFaults(m_real->stamp()); }
        std::size_t read(std::uint64_t offset, char* buffer, std::size_t size) override
        {
            return m_real->read(offset, buffer, size);
        }
        std::error_code renameNoReplace(const std::filesystem::path& to) override
        {
            const std::error_code fault = m_ops.faultOfRename(m_path, to);
            return fault ? fault : m_real->renameNoReplace(to);
        }
        void copyToNew(const std::filesystem::path& to, const CopyProgress& progress) override
        {
            m_real->copyToNew(to, [&](std::uintmax_t copied, std::uintmax_t total) {
                if (m_ops.duringCopy)
                    m_ops.duringCopy();
                if (progress)
                    progress(copied, total);
            });
        }
        void remove() override
        {
            m_ops.steps.push_back("remove");
            m_real->remove();
        }

    private:
        FaultyOps& m_ops;
        std::filesystem::path m_path;
        std::unique_ptr<SourceFile> m_real;
    };

    FileStamp withFaults(FileStamp stamp) const
    {
        return oneIdForAll ? FileStamp{stamp.volume, 1, stamp.size, stamp.modifiedNs} : stamp;
    }
    std::error_code faultOfRename(const std::filesystem::path& from,
                                  const std::filesystem::path& to)
    {
        if (const std::error_code fault = beforeRename ? beforeRename(from) : std::error_code())
            return fault;
        // Renames inside one folder (a temporary copy taking its name) stay real.
        if (pretendOtherVolume && from.parent_path() != to.parent_path())
            return std::make_error_code(std::errc::cross_device_link);
        return {};
    }
    static FileOps& real() { return systemFileOps(); }
};

} // namespace vorlund::test
