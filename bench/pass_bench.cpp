// Times one transfer pass over many small media files within one volume, next to `mv` of the
// same files in the same run. Usage: pass_bench [files] [folder on the volume to measure]
#include "app/form1.h"
#include "platform/dir_list_box.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using Seconds = std::chrono::duration<double>;

namespace {

void makeFiles(const fs::path& folder, int count)
{
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / ("track" + std::to_string(i) + ".mp3")) << "ID3 small media file";
}

template <typename Action> double timed(Action&& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return Seconds(std::chrono::steady_clock::now() - start).count();
}

std::size_t countIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

} // namespace

int main(int argc, char* argv[])
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);

    const fs::path root = base / ("vorlund-bench-" + std::to_string(::getpid()));
    const fs::path download = root / "download";
    const fs::path destination = root / "destination";
    fs::create_directories(download);
    fs::create_directories(destination);

    vorlund::Form1 form;
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    form.Form_Load();
    form.findChild<vorlund::DirListBox*>(QStringLiteral("Dir1"))
        ->setPath(QString::fromStdString(download.string()));
    form.findChild<vorlund::DirListBox*>(QStringLiteral("Dir2"))
        ->setPath(QString::fromStdString(destination.string()));

    makeFiles(download, files);
    const double pass = timed([&] { form.Timer1_Timer(); });
    const std::size_t movedByPass = countIn(destination);

    fs::remove_all(destination);
    fs::create_directories(destination);
    makeFiles(download, files);
    const std::string command =
        "cd '" + download.string() + "' && mv -- *.mp3 '" + destination.string() + "/'";
    const double mv = timed([&] { std::system(command.c_str()); });
    const std::size_t movedByMv = countIn(destination);
    fs::remove_all(root);

    std::printf("files: %d (in %s)\n", files, base.c_str());
    std::printf("one pass: %.3f s, moved %zu\n", pass, movedByPass);
    std::printf("mv:       %.3f s, moved %zu\n", mv, movedByMv);
    std::printf("pass / mv: %.2f\n", pass / mv);
    return movedByPass == static_cast<std::size_t>(files) && movedByMv == movedByPass ? 0 : 1;
}
