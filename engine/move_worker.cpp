#include "engine/move_worker.h"

#include <exception>
#include <utility>

namespace vorlund {
namespace {

// Thrown from a copy's progress report to break the copy off; no RuntimeError, so that nothing
// on the way takes it for a failure to report.
struct CopyStopped : std::exception
{
};

} // namespace

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

void MoveWorker::start(Events events, std::function<void()> listJobs)
{
    join();
    m_jobs.clear();
    m_closed = false;
    m_stopping = false;
    m_thread.run([this, events = std::move(events)] {
        run(events);
        if (events.finished)
            events.finished();
    });
    // The first moves run while the rest are still being listed.
    if (listJobs)
        m_lister.run(std::move(listJobs));
}

void MoveWorker::join()
{
    m_lister.wait();
    m_thread.wait();
}

void MoveWorker::add(MoveJob job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_added.notify_one();
}

void MoveWorker::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_added.notify_one();
}

void MoveWorker::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_added.notify_one();
    join();
}

std::deque<MoveJob> MoveWorker::takeJobs()
{
    std::unique_lock lock(m_mutex);
    m_added.wait(lock, [this] { return !m_jobs.empty() || m_closed || m_stopping; });
    if (m_stopping)
        return {};
    return std::exchange(m_jobs, {});
}

void MoveWorker::run(const Events& events)
{
    // Kept for the whole run: its moves go between the same two folders.
    FolderHold folders;
    bool first = true;
    for (std::deque<MoveJob> jobs = takeJobs(); !jobs.empty(); jobs = takeJobs()) {
        for (const MoveJob& job : jobs) {
            if (m_stopping)
                return;
            if (std::exchange(first, false))
                folders =
                    m_mover.holdFolders(job.source.parent_path(), job.destination.parent_path());
            if (!move(job, events))
                return;
        }
    }
}

bool MoveWorker::move(const MoveJob& job, const Events& events)
{
    const auto progress = [&](std::uintmax_t copied, std::uintmax_t total) {
        if (m_stopping)
            throw CopyStopped();
        if (events.progress)
            events.progress(job, copied, total);
    };
    try {
        m_mover.move(job.source, job.destination, progress);
    } catch (const RuntimeError& failure) {
        if (events.failed)
            events.failed(failure);
    } catch (const CopyStopped&) {
        return false;
    } catch (const std::exception& failure) {
        if (events.failed)
            events.failed(RuntimeError(ErrorNumber::PathFileAccessError, failure.what()));
    }
    return true;
}

} // namespace vorlund
