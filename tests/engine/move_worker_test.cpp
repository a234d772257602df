#include "engine/move_worker.h"
#include "support/faulty_ops.h"
#include "support/temp_folder.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// Collects a run's events and lets the test wait for its end.
class Recorder
{
public:
    MoveWorker::Events events()
    {
        MoveWorker::Events events;
        events.done = [this](std::size_t index, const std::optional<RuntimeError>& error) {
            const std::lock_guard lock(m_mutex);
            done.push_back(index);
            if (error)
                failed.push_back(index);
        };
        events.finished = [this] {
            const std::lock_guard lock(m_mutex);
            m_finished = true;
            m_ended.notify_all();
        };
        return events;
    }
    bool waitForEnd()
    {
        std::unique_lock lock(m_mutex);
        return m_ended.wait_for(lock, std::chrono::seconds(30), [this] { return m_finished; });
    }

    std::vector<std::size_t> done;
    std::vector<std::size_t> failed;

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_finished = false;
};

class MoveWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(download);
        fs::create_directory(destination);
    }
    // A whole run at once, as a pass hands it over.
    void startRun(MoveWorker& worker, const std::vector<std::string>& names,
                  MoveWorker::Events events)
    {
        worker.start(std::move(events));
        for (const std::string& name : names)
            worker.add({download / name, destination / name});
        worker.close();
    }

    test::TempFolder root;
    fs::path download = root / "download";
    fs::path destination = root / "destination";
    test::FaultyOps ops;
    FileMover mover{ops};
};

TEST_F(MoveWorkerTest, MovesInOrderAndAFailureHoldsBackNoOther)
{
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        writeFile(download / name, name);
    std::vector<std::string> order;
    ops.beforeRename = [&](const fs::path& from, const fs::path&) {
        order.push_back(from.filename().string());
        return from.filename() == "b.mp3" ? std::make_error_code(std::errc::permission_denied)
                                          : std::error_code();
    };
    MoveWorker worker(mover);
    Recorder recorder;

    startRun(worker, {"a.mp3", "b.mp3", "c.mp3"}, recorder.events());
    ASSERT_TRUE(recorder.waitForEnd());

    EXPECT_EQ(order, (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(recorder.done, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(recorder.failed, std::vector<std::size_t>{1});
    EXPECT_EQ(readFile(destination / "c.mp3"), "c.mp3");
    EXPECT_EQ(readFile(download / "b.mp3"), "b.mp3");
}

TEST_F(MoveWorkerTest, StoppingBreaksOffACopyAndKeepsItsSource)
{
    const std::string contents(40 << 20, 'x');
    writeFile(download / "big.zip", contents);
    writeFile(download / "next.mp3", "next");
    ops.pretendOtherVolume = true;
    std::mutex mutex;
    std::condition_variable copying;
    bool started = false;
    MoveWorker::Events events;
    events.progress = [&](const MoveJob&, std::uintmax_t, std::uintmax_t) {
        {
            const std::lock_guard lock(mutex);
            started = true;
        }
        copying.notify_all();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    MoveWorker worker(mover);

    std::atomic<bool> finished{false};
    events.finished = [&] { finished = true; };

    startRun(worker, {"big.zip", "next.mp3"}, events);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(copying.wait_for(lock, std::chrono::seconds(30), [&] { return started; }));
    }
    worker.stop();

    EXPECT_TRUE(finished) << "the run ended before stop returned";
    EXPECT_EQ(fs::file_size(download / "big.zip"), contents.size());
    EXPECT_TRUE(fs::exists(download / "next.mp3")) << "no move starts after a stop";
    EXPECT_TRUE(fs::is_empty(destination)) << "no partial or temporary file";
}

} // namespace
} // namespace vorlund
