// Times one transfer pass over many small media files within one volume, next to `mv` of the
// same files in the same run. Usage: xvfb-run pass_bench [files] [folder on the volume]
#include "bench_window.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

using namespace vorlund::bench;

int main(int argc, char* argv[])
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchWindow window(base);

    makeMediaFiles(window.download(), files, "ID3 small media file");
    ::sync();
    const double pass = secondsOf([&] { window.pass(); });
    const std::size_t movedByPass = countIn(window.destination());

    fs::remove_all(window.destination());
    fs::create_directories(window.destination());
    makeMediaFiles(window.download(), files, "ID3 small media file");
    ::sync();
    const std::string command = "cd '" + window.download().string() + "' && mv -- *.mp3 '" +
                                window.destination().string() + "/'";
    const double mv = secondsOf([&] { return std::system(command.c_str()); });
    const std::size_t movedByMv = countIn(window.destination());

    std::printf("moving %d small files within one volume (%s)\n", files, base.c_str());
    std::printf("  one pass: %.3f s (moved %zu)\n", pass, movedByPass);
    std::printf("  mv:       %.3f s (moved %zu)\n", mv, movedByMv);
    std::printf("  pass / mv: %.2f\n", pass / mv);
    return movedByPass == static_cast<std::size_t>(files) && movedByMv == movedByPass ? 0 : 1;
}
