#include "engine/runtime_error.h"
#include "os_failures.h"

#include <windows.h>

namespace vorlund::test {

const std::vector<OsFailure>& osFailures()
{
    namespace N = ErrorNumber;
    static const std::vector<OsFailure> failures = {
        {"FileNotFound", ERROR_FILE_NOT_FOUND, N::FileNotFound},
        {"PathNotFound", ERROR_PATH_NOT_FOUND, N::FileNotFound},
        {"AccessDenied", ERROR_ACCESS_DENIED, N::PermissionDenied},
        {"SharingViolation", ERROR_SHARING_VIOLATION, N::PermissionDenied},
        {"LockViolation", ERROR_LOCK_VIOLATION, N::PermissionDenied},
        {"NotAProgram", ERROR_BAD_EXE_FORMAT, N::PermissionDenied},
        {"DiskFull", ERROR_DISK_FULL, N::DiskFull},
        {"HandleDiskFull", ERROR_HANDLE_DISK_FULL, N::DiskFull},
        {"FileExists", ERROR_FILE_EXISTS, N::FileAlreadyExists},
        {"AlreadyExists", ERROR_ALREADY_EXISTS, N::FileAlreadyExists},
        {"NotSameDevice", ERROR_NOT_SAME_DEVICE, N::RenameAcrossDrives},
        {"AnythingElse", ERROR_INVALID_PARAMETER, N::PathFileAccessError},
    };
    return failures;
}

} // namespace vorlund::test
