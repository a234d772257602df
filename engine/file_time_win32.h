#pragma once

#include <cstdint>
#include <windows.h>

namespace vorlund {

// Nanoseconds since the Unix epoch, as FileStamp and FolderState keep file times. Windows counts
// 100 ns steps from 1601, 11644473600 s earlier; counted from 1601, nanoseconds would not fit in
// 64 bits.
inline std::int64_t unixNanoseconds(LARGE_INTEGER time)
{
    return (time.QuadPart - 116'444'736'000'000'000LL) * 100;
}

} // namespace vorlund
