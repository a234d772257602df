// Moves one large file from one volume to another with the durability the pass promises (the
// copy flushed before the source goes), next to `cp`, then `sync`, then `rm` of the same file
// in the same run. Usage: cross_volume_bench [MiB] [source folder] [destination folder]
#include "platform/file_mover.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

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

template <typename Action> double secondsOf(Action&& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    fs::create_directories(from);
    fs::create_directories(to);

    makeFile(from / "album.zip", mebibytes);
    ::sync();
    const double move =
        secondsOf([&] { vorlund::FileMover().move(from / "album.zip", to / "album.zip"); });
    const bool moved =
        !fs::exists(from / "album.zip") && fs::file_size(to / "album.zip") == mebibytes << 20;
    fs::remove(to / "album.zip");

    makeFile(from / "album.zip", mebibytes);
    ::sync();
    const std::string source = "'" + (from / "album.zip").string() + "'";
    const double peer = secondsOf([&] {
        run("cp " + source + " '" + (to / "album.zip").string() + "' && sync && rm " + source);
    });

    fs::remove_all(from);
    fs::remove_all(to);
    std::printf("moving one %ju MiB file across volumes (%s -> %s)\n", mebibytes,
                from.parent_path().c_str(), to.parent_path().c_str());
    std::printf("  vorlund move:   %.3f s\n", move);
    std::printf("  cp; sync; rm:   %.3f s\n", peer);
    std::printf("  move / peer:    %.2f\n", move / peer);
    return moved ? 0 : 1;
}
