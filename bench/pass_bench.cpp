// Times one transfer pass over many small media files within one volume, next to `mv` of the
// same files and to the floor, a bare loop of renameat2 calls between the two folders held open;
// in rounds that take turns at going first; prints each and the medians.
// Usage: pass_bench [files] [folder on the volume] [rounds]
#include "bench_window.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vorlund::bench;

int main(int argc, char* argv[])
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    BenchWindow window(base);

    const auto fresh = [&] {
        fs::remove_all(window.destination());
        fs::create_directories(window.destination());
        makeMediaFiles(window.download(), files, "ID3 small media file");
        ::sync();
    };
    const auto byPass = [&] {
        fresh();
        const double seconds = secondsOf([&] { window.pass(); });
        return countIn(window.destination()) == static_cast<std::size_t>(files) ? seconds : -1;
    };
    const std::string command = "cd '" + window.download().string() + "' && mv -- *.mp3 '" +
                                window.destination().string() + "/'";
    const auto byMv = [&] {
        fresh();
        const double seconds = secondsOf([&] { return std::system(command.c_str()); });
        return countIn(window.destination()) == static_cast<std::size_t>(files) ? seconds : -1;
    };

    const auto byRenames = [&] {
        fresh();
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(window.download()))
            names.push_back(entry.path().filename().string());
        const int from = ::open(window.download().c_str(), O_RDONLY | O_DIRECTORY);
        const int to = ::open(window.destination().c_str(), O_RDONLY | O_DIRECTORY);
        const double seconds = secondsOf([&] {
            for (const std::string& name : names)
                ::renameat2(from, name.c_str(), to, name.c_str(), RENAME_NOREPLACE);
        });
        ::close(from);
        ::close(to);
        return countIn(window.destination()) == static_cast<std::size_t>(files) ? seconds : -1;
    };

    std::printf("moving %d small files within one volume (%s)\n", files, base.c_str());
    const bool againstFloor = compareInRounds(rounds, "pass", byPass, "renameat2 loop", byRenames);
    std::printf("  longest stretch of the window's thread: %.2f ms\n", window.longestStretchMs());
    return againstFloor && compareInRounds(rounds, "pass", byPass, "mv", byMv) ? 0 : 1;
}
