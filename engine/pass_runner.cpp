#include "engine/pass_runner.h"

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

void PassRunner::start(Events events, std::function<void()> listJobs)
{
    join();
    m_jobs.clear();
    m_closed = false;
    m_stopping = false;
    m_moves.run([this, events = std::move(events)] {
        run(events);
        if (events.finished)
            events.finished();
    });
    // The first moves run while the rest are still being listed.
    if (listJobs)
        m_lister.run(std::move(listJobs));
}

void PassRunner::join()
{
    m_lister.wait();
    m_moves.wait();
}

void PassRunner::add(MoveJob job)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_added.notify_one();
}

void PassRunner::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_added.notify_one();
}

void PassRunner::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_added.notify_one();
    join();
}

std::deque<MoveJob> PassRunner::takeJobs()
{
    std::unique_lock lock(m_mutex);
    m_added.wait(lock, [this] { return !m_jobs.empty() || m_closed || m_stopping; });
    if (m_stopping)
        return {};
    return std::exchange(m_jobs, {});
}

void PassRunner::run(const Events& events)
{
    // Kept for the whole run: its moves go between the same two folders.
    OpenFolders folders;
    bool first = true;
    for (std::deque<MoveJob> jobs = takeJobs(); !jobs.empty(); jobs = takeJobs()) {
        for (const MoveJob& job : jobs) {
            if (m_stopping)
                return;
            if (std::exchange(first, false))
                folders =
                    m_mover.openFolders(job.source.parent_path(), job.destination.parent_path());
            if (!move(job, events))
                return;
        }
    }
}

bool PassRunner::move(const MoveJob& job, const Events& events)
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
