// CPU time of a pass while the destination holds many media files: one that has nothing to move,
// one after five files arrived there, and the first, which reads the folder whole; next to
// `find DIR -maxdepth 1 -iname '*.mp3' | wc -l` over the same folder.
// Usage: idle_pass_bench [folder] [passes] [files in the destination...]
#include "bench_window.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace vorlund::bench;

int main(int argc, char* argv[])
{
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const int passes = argc > 2 ? std::atoi(argv[2]) : 20;

    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {1'000, 10'000, 100'000};

    std::printf("CPU time per pass (ms), %d passes each\n", passes);
    std::printf("%10s %10s %10s %10s %8s %12s\n", "files", "idle", "5 arrived", "find", "ratio",
                "first pass");
    for (const int files : sizes) {
        BenchWindow window(base);
        makeMediaFiles(window.destination(), files, "");
        // Idle means nothing changed for a while: a folder changed within the file system's
        // clock tick must be read again, which the first pass after this does.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        const double firstBefore = cpuSeconds();
        window.pass();
        const double first = cpuSeconds() - firstBefore;

        const double before = cpuSeconds();
        for (int i = 0; i < passes; ++i)
            window.pass();
        const double pass = (cpuSeconds() - before) / passes;

        double changed = 0;
        for (int i = 0; i < passes; ++i) {
            makeMediaFiles(window.destination(), 5, "", "arrival" + std::to_string(i) + "-");
            const double changedBefore = cpuSeconds();
            window.pass();
            changed += (cpuSeconds() - changedBefore) / passes;
        }
        const double find = findMs(window.destination());

        std::printf("%10d %10.3f %10.3f %10.3f %8.2f %12.3f\n", files, pass * 1e3, changed * 1e3,
                    find, changed * 1e3 / find, first * 1e3);
    }
    return 0;
}
