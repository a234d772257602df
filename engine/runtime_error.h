#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vorlund {

// The error numbers the program raises, as the classic runtime numbers them.
namespace ErrorNumber {
inline constexpr int DiskFull = 61;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DeviceIoError = 57;
inline constexpr int PermissionDenied = 70;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int RenameAcrossDrives = 74;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPropertyValue = 380;
} // namespace ErrorNumber

inline constexpr std::string_view errorSource = "vorlund";

// An error as the handlers see it: a number, where it was raised and what went wrong.
class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, std::string description,
                 std::string source = std::string(errorSource));

    int number() const noexcept { return m_number; }
    const std::string& source() const noexcept { return m_source; }
    const std::string& description() const noexcept { return m_description; }

private:
    int m_number;
    std::string m_source;
    std::string m_description;
};

// The runtime's number for an OS failure.
int errorNumberFor(const std::error_code& code);

// "<what>: <the OS's own text>", numbered after the OS failure.
RuntimeError fileError(const std::error_code& code, const std::string& what);

} // namespace vorlund
