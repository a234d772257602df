#pragma once

#include <filesystem>

namespace vorlund {

// How the started program's window first shows.
enum class WindowStyle { MinimizedFocus = 2 };

// Starts the program at `path`, which is never searched for: a path that is not absolute where
// it is read names no program. On Linux a Windows path ("C:\...") names a file in the user's
// Wine prefix, which runs through `wine`. Raises RuntimeError, saying why, when the program
// cannot be started.
void startProgram(const std::filesystem::path& path, WindowStyle style);

} // namespace vorlund
