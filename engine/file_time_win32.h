#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <windows.h>

namespace vorlund {

// Nanoseconds since the Unix epoch, as FileStamp and FolderState keep file times. Windows counts
// 100 ns steps from 1601, 11644473600 s earlier; counted from 1601, nanoseconds would not fit in
// 64 bits, and times before 1678 do not fit either way: they are kept as the earliest that does.
// 0, no time at all (FAT keeps no change time for a folder), stays 0.
inline std::int64_t unixNanoseconds(LARGE_INTEGER time)
{
    if (time.QuadPart == 0)
        return 0;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 100;
    return std::clamp(time.QuadPart - 116'444'736'000'000'000LL, -limit, limit) * 100;
}

} // namespace vorlund
