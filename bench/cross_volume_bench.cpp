// Moves one large file from one volume to another with the durability the pass promises (the
// copy flushed before the source goes), next to `cp`, then `sync`, then `rm` of the same file,
// in rounds that take turns at going first; prints each and the medians.
// Usage: cross_volume_bench [MiB] [source folder] [destination folder] [rounds]
#include "bench_timing.h"
#include "engine/file_mover.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vorlund::bench;

namespace {

void makeFile(const fs::path& path, std::uintmax_t mebibytes)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    std::mt19937_64 random(42);
    for (std::uintmax_t i = 0; i < mebibytes; ++i) {
        for (char& c : block)
            c = static_cast<char>(random());
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

int run(const std::string& command)
{
    return std::system(command.c_str());
}

} // namespace

int main(int argc, char* argv[])
{
    const std::uintmax_t mebibytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const fs::path from =
        fs::path(argc > 2 ? argv[2] : "/dev/shm") / ("vorlund-bench-" + std::to_string(::getpid()));
    const fs::path to = fs::path(argc > 3 ? argv[3] : fs::temp_directory_path()) /
                        ("vorlund-bench-" + std::to_string(::getpid()));
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    fs::create_directories(from);
    fs::create_directories(to);

    const fs::path source = from / "album.zip";
    const fs::path destination = to / "album.zip";
    // Negative when the file did not arrive whole or the source stayed.
    const auto timed = [&](auto&& move) {
        makeFile(source, mebibytes);
        ::sync();
        const double seconds = secondsOf(move);
        const bool moved = !fs::exists(source) && fs::file_size(destination) == mebibytes << 20;
        fs::remove(destination);
        return moved ? seconds : -1;
    };
    const auto byMover = [&] {
        return timed([&] { vorlund::FileMover().move(source, destination); });
    };
    const auto byPeer = [&] {
        return timed([&] {
            run("cp '" + source.string() + "' '" + destination.string() + "' && sync && rm '" +
                source.string() + "'");
        });
    };

    std::printf("moving one %ju MiB file across volumes (%s -> %s)\n", mebibytes,
                from.parent_path().c_str(), to.parent_path().c_str());
    const bool whole = compareInRounds(rounds, "vorlund move", byMover, "cp; sync; rm", byPeer);
    fs::remove_all(from);
    fs::remove_all(to);
    return whole ? 0 : 1;
}
