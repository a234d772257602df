#pragma once

#include "engine/file_mover.h"
#include "engine/runtime_error.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace vorlund {

struct MoveJob
{
    std::filesystem::path source;
    std::filesystem::path destination;
};

// One thread that runs the tasks handed to it, one at a time, and lives as long as this object:
// what a task leaves with the system for later (a listening request on Windows, cancelled when
// the thread that made it ends) lasts from one task to the next, and a task costs no new thread.
class TaskThread
{
public:
    TaskThread() = default;
    TaskThread(const TaskThread&) = delete;
    TaskThread& operator=(const TaskThread&) = delete;
    ~TaskThread();

    // Runs `task` on the thread once the last one ended.
    void run(std::function<void()> task);
    // Returns once the task handed over has ended.
    void wait();

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_task;
    bool m_ending = false;
    std::thread m_thread;
};

// Runs one pass's moves in their order on a thread of its own, so that a long copy never holds
// the window. Moves can be handed over while the first ones already run. Its events are called
// on that thread.
class MoveWorker
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

    explicit MoveWorker(FileMover& mover) : m_mover(mover) {}
    MoveWorker(const MoveWorker&) = delete;
    MoveWorker& operator=(const MoveWorker&) = delete;
    ~MoveWorker() { stop(); }

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
    TaskThread m_thread;
    TaskThread m_lister;
};

} // namespace vorlund
