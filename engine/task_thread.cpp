#include "engine/task_thread.h"

namespace vorlund {

TaskThread::~TaskThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void TaskThread::run(std::function<void()> task)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_task; });
    m_task = std::move(task);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { loop(); });
    lock.unlock();
    m_changed.notify_all();
}

void TaskThread::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_task; });
}

void TaskThread::loop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_task || m_ending; });
        if (!m_task)
            return;
        lock.unlock();
        m_task();
        lock.lock();
        m_task = nullptr;
        m_changed.notify_all();
    }
}

} // namespace vorlund
