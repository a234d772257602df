#include "platform/move_worker.h"

#include <exception>

namespace vorlund {
namespace {

// Thrown from a copy's progress report to break the copy off; no RuntimeError, so that nothing
// on the way takes it for a failure to report.
struct CopyStopped : std::exception
{
};

} // namespace

void MoveWorker::start(std::vector<MoveJob> jobs, Events events)
{
    if (m_thread.joinable())
        m_thread.join();
    m_stopping = false;
    m_busy = true;
    m_thread = std::thread([this, jobs = std::move(jobs), events = std::move(events)] {
        run(jobs, events);
        m_busy = false;
        if (events.finished)
            events.finished();
    });
}

void MoveWorker::stop()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
}

void MoveWorker::run(const std::vector<MoveJob>& jobs, const Events& events)
{
    for (std::size_t index = 0; index < jobs.size() && !m_stopping; ++index) {
        const auto progress = [&](std::uintmax_t copied, std::uintmax_t total) {
            if (m_stopping)
                throw CopyStopped();
            if (events.progress)
                events.progress(index, copied, total);
        };
        std::optional<RuntimeError> error;
        try {
            m_mover.move(jobs[index].source, jobs[index].destination, progress);
        } catch (const RuntimeError& failure) {
            error = failure;
        } catch (const CopyStopped&) {
            return;
        } catch (const std::exception& failure) {
            error = RuntimeError(ErrorNumber::PathFileAccessError, failure.what());
        }
        if (events.done)
            events.done(index, error);
    }
}

} // namespace vorlund
