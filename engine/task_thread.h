#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vorlund {

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

} // namespace vorlund
