#include "engine/runtime_error.h"

namespace vorlund {

RuntimeError::RuntimeError(int number, std::string description, std::string source)
    : std::runtime_error(description), m_number(number), m_source(std::move(source)),
      m_description(std::move(description))
{}

int errorNumberFor(const std::error_code& code)
{
    using std::errc;
    if (code == errc::no_such_file_or_directory)
        return ErrorNumber::FileNotFound;
    if (code == errc::not_a_directory)
        return ErrorNumber::PathNotFound;
    if (code == errc::no_space_on_device || code == errc::file_too_large)
        return ErrorNumber::DiskFull;
    if (code == errc::file_exists)
        return ErrorNumber::FileAlreadyExists;
    if (code == errc::cross_device_link)
        return ErrorNumber::RenameAcrossDrives;
    if (code == errc::io_error)
        return ErrorNumber::DeviceIoError;
    if (code == errc::permission_denied || code == errc::operation_not_permitted ||
        code == errc::device_or_resource_busy || code == errc::text_file_busy ||
        code == errc::read_only_file_system || code == errc::executable_format_error)
        return ErrorNumber::PermissionDenied;
    return ErrorNumber::PathFileAccessError;
}

RuntimeError fileError(const std::error_code& code, const std::string& what)
{
    return RuntimeError(errorNumberFor(code), what + ": " + code.message());
}

} // namespace vorlund
