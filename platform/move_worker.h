#pragma once

#include "platform/file_mover.h"
#include "platform/runtime_error.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace vorlund {

struct MoveJob
{
    std::filesystem::path source;
    std::filesystem::path destination;
};

// Runs one pass's moves in their order on a thread of its own, so that a long copy never holds
// the window. Its events are called on that thread.
class MoveWorker
{
public:
    struct Events
    {
        // How far the copy of job `index` got.
        std::function<void(std::size_t index, std::uintmax_t copied, std::uintmax_t total)>
            progress;
        // Job `index` ended; `error` says why it failed, when it did.
        std::function<void(std::size_t index, const std::optional<RuntimeError>& error)> done;
        // Every job ended, or the moves were stopped.
        std::function<void()> finished;
    };

    explicit MoveWorker(FileMover& mover) : m_mover(mover) {}
    MoveWorker(const MoveWorker&) = delete;
    MoveWorker& operator=(const MoveWorker&) = delete;
    ~MoveWorker() { stop(); }

    // Starts the moves; the worker must not be busy.
    void start(std::vector<MoveJob> jobs, Events events);
    // True from start until `finished` was called.
    bool busy() const { return m_busy; }
    // Breaks off a copy under way (its source stays, its temporary copy goes), starts no further
    // move, and returns once the thread has ended.
    void stop();

private:
    void run(const std::vector<MoveJob>& jobs, const Events& events);

    FileMover& m_mover;
    std::thread m_thread;
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_stopping{false};
};

} // namespace vorlund
