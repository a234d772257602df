#include "engine/runtime_error.h"
#include "os_failures.h"

#include <cerrno>

namespace vorlund::test {

const std::vector<OsFailure>& osFailures()
{
    namespace N = ErrorNumber;
    static const std::vector<OsFailure> failures = {
        {"NoSuchFile", ENOENT, N::FileNotFound},
        {"NotAFolder", ENOTDIR, N::PathNotFound},
        {"AccessDenied", EACCES, N::PermissionDenied},
        {"NotPermitted", EPERM, N::PermissionDenied},
        {"Busy", EBUSY, N::PermissionDenied},
        {"ReadOnlyFileSystem", EROFS, N::PermissionDenied},
        {"NotAProgram", ENOEXEC, N::PermissionDenied},
        {"DiskFull", ENOSPC, N::DiskFull},
        {"FileTooLarge", EFBIG, N::DiskFull},
        {"FileExists", EEXIST, N::FileAlreadyExists},
        {"OtherVolume", EXDEV, N::RenameAcrossDrives},
        {"InputOutput", EIO, N::DeviceIoError},
        {"AnythingElse", EINVAL, N::PathFileAccessError},
    };
    return failures;
}

} // namespace vorlund::test
