#pragma once

#include <filesystem>

namespace vorlund::bench {

// CPU seconds (user and system) spent by this process.
double cpuSeconds();

// CPU milliseconds of `find DIR -maxdepth 1 -iname '*.mp3' | wc -l`; negative where there is no
// find to run.
double findMs(const std::filesystem::path& folder);

} // namespace vorlund::bench
