#pragma once

#include <string>

namespace vorlund {

// Tells a failure where this system's users look for a program's complaints: standard error, and
// on Windows, where a windowed program's standard error goes nowhere, the debugger's output too
// (DebugView and the like show it).
void logFailure(const std::string& line);

} // namespace vorlund
