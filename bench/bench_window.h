#pragma once

#include "qt/form1.h"
#include "bench_timing.h"
#include "qt/dir_list_box.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace vorlund::bench {

namespace fs = std::filesystem;

// A window over a download and a destination folder in a scratch folder, with its settings
// there too and no client to start. Run under a display (xvfb-run), since loading probes for
// the client's window.
class BenchWindow
{
public:
    explicit BenchWindow(const fs::path& base)
        : m_root(base / ("vorlund-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(download());
        fs::create_directories(destination());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_root.string()));
        m_form = std::make_unique<Form1>(Form1Services{systemClock(), &systemFileOps(), &m_settings,
                                                       Client{QStringLiteral("no client"), {}}});
        m_form->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
        m_form->Form_Load();
        m_form->findChild<DirListBox*>(QStringLiteral("Dir1"))
            ->setPath(QString::fromStdString(download().string()));
        m_form->findChild<DirListBox*>(QStringLiteral("Dir2"))
            ->setPath(QString::fromStdString(destination().string()));
    }
    ~BenchWindow()
    {
        m_form.reset();
        fs::remove_all(m_root);
    }

    fs::path download() const { return m_root / "download"; }
    fs::path destination() const { return m_root / "destination"; }
    // One tick of Timer1, as the window takes it, and the moves it starts.
    void pass()
    {
        bool finished = false;
        const QMetaObject::Connection connection =
            QObject::connect(m_form.get(), &Form1::passFinished, [&] { finished = true; });
        QMetaObject::invokeMethod(m_form->findChild<QTimer*>("Timer1"), "timeout");
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(connection);
    }

private:
    fs::path m_root;
    SettingsStore m_settings;
    std::unique_ptr<Form1> m_form;
};

inline void makeMediaFiles(const fs::path& folder, int count, const std::string& contents)
{
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / ("track" + std::to_string(i) + ".mp3")) << contents;
}

inline std::size_t countIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// CPU seconds (user and system) spent by this process, or by its waited-for children.
inline double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace vorlund::bench
