#pragma once

#include "bench_timing.h"
#include "engine/path_text.h"
#include "support/plain_controls.h"
#include "window/form1.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace vorlund::bench {

namespace fs = std::filesystem;

// The window's logic over a download and a destination folder in a scratch folder, with plain
// controls, its settings in memory and no client to start. A failing client probe is answered
// by a box that nobody has to close.
class BenchWindow
{
public:
    explicit BenchWindow(const fs::path& base)
        : m_root(base / ("vorlund-bench-" + std::to_string(::getpid())))
    {
        fs::create_directories(download());
        fs::create_directories(destination());
        m_form = std::make_unique<Form1>(
            Form1Controls{m_view, m_drive, m_drive, m_dir1, m_dir2, m_text1, m_text2},
            Form1Services{[] { return std::string("now"); }, m_settings,
                          [](const std::string&, MsgBoxStyle, const std::string&) {},
                          &systemFileOps(), Client{"no client", ""}});
        m_form->Form_Load();
        m_dir1.setPath(displayPath(download()));
        m_dir2.setPath(displayPath(destination()));
    }
    ~BenchWindow()
    {
        m_form.reset();
        fs::remove_all(m_root);
    }

    fs::path download() const { return m_root / "download"; }
    fs::path destination() const { return m_root / "destination"; }
    // One tick of Timer1 and the moves it starts.
    void pass()
    {
        m_form->Timer1_Tick();
        m_view.runPostedUntil([this] { return !m_view.locked; });
    }

private:
    fs::path m_root;
    test::MemorySettings m_settings;
    test::PlainView m_view;
    test::PlainDriveList m_drive{{"/"}};
    test::PlainDirList m_dir1;
    test::PlainDirList m_dir2;
    test::PlainTextBox m_text1;
    test::PlainTextBox m_text2;
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
