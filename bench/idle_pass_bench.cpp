// CPU time of a pass that has nothing to move while the destination holds many media files,
// next to `find DIR -maxdepth 1 -iname '*.mp3' | wc -l` over the same folder.
// Usage: xvfb-run idle_pass_bench [folder] [passes]
#include "bench_window.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace vorlund::bench;

int main(int argc, char* argv[])
{
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const int passes = argc > 2 ? std::atoi(argv[2]) : 20;

    std::printf("idle pass: CPU time per pass (ms), %d passes each\n", passes);
    std::printf("%10s %10s %10s %8s %12s\n", "files", "pass", "find", "ratio", "first pass");
    for (const int files : {1'000, 10'000, 100'000}) {
        BenchWindow window(base);
        makeMediaFiles(window.destination(), files, "");
        // Idle means nothing changed for a while: a folder changed within the file system's
        // clock tick must be read again, which the first pass after this does.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        const double firstBefore = cpuSeconds(RUSAGE_SELF);
        window.pass();
        const double first = cpuSeconds(RUSAGE_SELF) - firstBefore;

        const double before = cpuSeconds(RUSAGE_SELF);
        for (int i = 0; i < passes; ++i)
            window.pass();
        const double pass = (cpuSeconds(RUSAGE_SELF) - before) / passes;

        const std::string find = "find '" + window.destination().string() +
                                 "' -maxdepth 1 -iname '*.mp3' | wc -l > /dev/null";
        const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
        for (int i = 0; i < passes; ++i)
            [[maybe_unused]] const int status = std::system(find.c_str());
        const double peer = (cpuSeconds(RUSAGE_CHILDREN) - childrenBefore) / passes;

        std::printf("%10d %10.3f %10.3f %8.2f %12.3f\n", files, pass * 1e3, peer * 1e3, pass / peer,
                    first * 1e3);
    }
    return 0;
}
