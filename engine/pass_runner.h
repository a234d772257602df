#pragma once

#include "engine/file_mover.h"
#include "engine/runtime_error.h"
#include "engine/task_thread.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>

namespace vorlund {

struct MoveJob
{
    std::filesystem::path source;
    std::filesystem::path destination;
};

// Runs a pass on two threads of its own, so that neither a long listing nor a long copy holds the
// window: one lists the folders, the other makes the moves listed, in their order, while the rest
// are still being listed. Its events are called on the moves' thread.
class PassRunner
{
public:
    struct Events
    {
        // How far the copy of `job` got.
        std::function<void(const MoveJob& job, std::uintmax_t copied, std::uintmax_t total)>
            progress;
        // A job failed, and why; its source stays.
        std::function<void(const RuntimeError& error)> failed;
        // Every job ended, or the moves were stopped.
        std::function<void()> finished;
    };

    explicit PassRunner(FileMover& mover) : m_mover(mover) {}
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;
    ~PassRunner() { stop(); }

    // Starts a run once the last one finished, while another thread runs `listJobs`; both
    // threads serve every run. Jobs follow with add(), from `listJobs` or from elsewhere, and
    // close() says that no more will come.
    void start(Events events, std::function<void()> listJobs = {});
    void add(MoveJob job);
    void close();

    // Breaks off a copy under way (its source stays, its temporary copy goes), starts no further
    // move, and returns once the run has ended.
    void stop();

private:
    void run(const Events& events);
    void join();
    // The jobs handed over since the last call, waiting for some; none once the run is closed
    // and every job taken, or stopped.
    std::deque<MoveJob> takeJobs();
    // False when the moves were stopped during this one.
    bool move(const MoveJob& job, const Events& events);

    FileMover& m_mover;
    std::mutex m_mutex;
    std::condition_variable m_added;
    std::deque<MoveJob> m_jobs;
    bool m_closed = false;
    std::atomic<bool> m_stopping{false};
    // Last, so that they end before what their tasks use goes.
    TaskThread m_moves;
    TaskThread m_lister;
};

} // namespace vorlund
