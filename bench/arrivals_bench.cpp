// Downloads finishing into the download folder while the destination holds many media files:
// the window's passes move them in. Prints the CPU a second the passes cost, the longest that
// the window's thread was busy at a stretch, and the CPU of one `find DIR -maxdepth 1 -iname
// '*.mp3' | wc -l` over the destination.
// Usage: arrivals_bench [files in the destination] [seconds] [arrivals a second] [folder]
#include "bench_window.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace vorlund::bench;

int main(int argc, char* argv[])
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 100'000;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const int perSecond = argc > 3 ? std::atoi(argv[3]) : 5;
    const fs::path base = argc > 4 ? fs::path(argv[4]) : fs::temp_directory_path();
    BenchWindow window(base);
    makeMediaFiles(window.destination(), files, "");
    window.pass();

    const double before = cpuSeconds();
    int arrived = 0;
    for (int second = 0; second < seconds; ++second) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perSecond; ++i) {
            makeMediaFiles(window.download(), 1, "ID3", "arrival" + std::to_string(arrived++));
            std::this_thread::sleep_until(start +
                                          std::chrono::milliseconds(1000 / perSecond) * (i + 1));
        }
        window.pass();
    }
    const double passMs = (cpuSeconds() - before) * 1e3 / seconds;
    window.pass();
    const bool allMoved =
        countIn(window.destination()) == static_cast<std::size_t>(files + arrived);

    std::printf("%d arrivals a second into a destination of %d media files, %d s\n", perSecond,
                files, seconds);
    std::printf("  CPU of the passes: %.2f ms a second (the writer's files included)\n", passMs);
    std::printf("  longest stretch of the window's thread: %.2f ms\n", window.longestStretchMs());
    std::printf("  find over the destination: %.1f ms of CPU\n", findMs(window.destination()));
    return allMoved ? 0 : 1;
}
