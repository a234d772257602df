#pragma once

#include "bench_timing.h"
#include "engine/path_text.h"
#include "process_cpu.h"
#include "support/plain_controls.h"
#include "window/form1.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace vorlund::bench {

namespace fs = std::filesystem;

// The plain window, timing each task posted to its thread.
class TimedView : public test::PlainView
{
public:
    void post(std::function<void()> task) override
    {
        PlainView::post([this, task = std::move(task)] {
            const auto start = std::chrono::steady_clock::now();
            task();
            longestTask = std::max(longestTask, std::chrono::steady_clock::now() - start);
        });
    }
    std::chrono::steady_clock::duration longestTask{};
};

// The window's logic over a download and a destination folder in a scratch folder, with plain
// controls, its settings in memory and no client to start. A failing client probe is answered
// by a box that nobody has to close.
class BenchWindow
{
public:
    explicit BenchWindow(const fs::path& base)
        : m_root(base /
                 ("vorlund-bench-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
    {
        fs::create_directories(download());
        fs::create_directories(destination());
        m_form = std::make_unique<Form1>(
            Form1Controls{m_view, m_drive, m_drive, m_dir1, m_dir2, m_text1, m_text2},
            Form1Services{[] { return std::string("now"); }, m_settings,
                          [](const std::string&, MsgBoxStyle, const std::string&) {},
                          &systemFileOps(), Client{"no client", ""}});
        m_form->Form_Load();
        m_dir1.setPath(pathText(download()));
        m_dir2.setPath(pathText(destination()));
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
        const auto start = std::chrono::steady_clock::now();
        m_form->startPassUnlessOneRuns();
        m_longestStretch = std::max(m_longestStretch, std::chrono::steady_clock::now() - start);
        m_view.runPostedUntil([this] { return !m_view.locked; });
    }
    // The longest that the window's thread was busy at a stretch during the passes.
    double longestStretchMs() const
    {
        return std::chrono::duration<double, std::milli>(
                   std::max(m_longestStretch, m_view.longestTask))
            .count();
    }

private:
    fs::path m_root;
    test::MemorySettings m_settings;
    TimedView m_view;
    test::PlainDriveList m_drive{{"/"}};
    test::PlainDirList m_dir1;
    test::PlainDirList m_dir2;
    test::PlainTextBox m_text1;
    test::PlainTextBox m_text2;
    std::unique_ptr<Form1> m_form;
    std::chrono::steady_clock::duration m_longestStretch{};
};

inline void makeMediaFiles(const fs::path& folder, int count, const std::string& contents,
                           const std::string& prefix = "track")
{
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / (prefix + std::to_string(i) + ".mp3")) << contents;
}

inline std::size_t countIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

} // namespace vorlund::bench
