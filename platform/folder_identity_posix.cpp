#include "platform/folder_identity.h"

#include <sys/stat.h>

namespace vorlund {

bool sameDirectory(const std::filesystem::path& a, const std::filesystem::path& b)
{
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           S_ISDIR(first.st_mode) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace vorlund
