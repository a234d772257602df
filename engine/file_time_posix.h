#pragma once

#include <cstdint>
#include <ctime>

namespace vorlund {

// Nanoseconds since the Unix epoch, as FileStamp and FolderState keep file times.
inline std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace vorlund
