#pragma once

#include "temp_folder.h"

#include <cstdint>

namespace vorlund::test {

// What the tests need of the file system that each OS does its own way; one file per OS.

// `path` spelled with short (8.3) names, or empty where the system or the volume gives none.
std::filesystem::path shortNameOf(const std::filesystem::path& path);

// std::filesystem::last_write_time(path, time), which MinGW's cannot do for a folder.
void setLastWriteTime(const std::filesystem::path& path, std::filesystem::file_time_type time);

// True where a file that a program holds open for writing can be neither renamed nor deleted
// (Windows' share modes); elsewhere such a file is renamed as any other, though never copied.
extern const bool openFilesStayPut;

// A file held open for writing, as by a download still arriving or a running copy: on Windows
// sharing only reading, on POSIX with an exclusive flock.
class FileInUse
{
public:
    explicit FileInUse(const std::filesystem::path& file);
    FileInUse(const FileInUse&) = delete;
    FileInUse& operator=(const FileInUse&) = delete;
    ~FileInUse() { close(); }
    void close();

private:
    std::intptr_t m_handle;
};

} // namespace vorlund::test
