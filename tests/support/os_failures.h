#pragma once

#include <vector>

namespace vorlund::test {

struct OsFailure
{
    const char* name;
    int code;   // as the OS reports it (errno, or GetLastError on Windows)
    int number; // the runtime's number for it
};

// The failures that moving and starting files meet, in this OS's own codes.
const std::vector<OsFailure>& osFailures();

} // namespace vorlund::test
