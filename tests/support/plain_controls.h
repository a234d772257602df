#pragma once

#include "engine/runtime_error.h"
#include "services/settings_store.h"
#include "window/controls.h"
#include "window/folder_tree.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vorlund::test {

// Controls with no toolkit behind them, for the window's logic on any system.
struct PlainDriveList : DriveListBox
{
    explicit PlainDriveList(std::vector<std::string> present)
        : drives(std::move(present)), drive(drives.front())
    {}
    std::string Drive() const override { return drive; }
    void setDrive(const std::string& chosen) override
    {
        if (std::ranges::find(drives, chosen) == drives.end())
            throw RuntimeError(ErrorNumber::DeviceUnavailable, "drive not present: " + chosen);
        if (chosen != std::exchange(drive, chosen))
            Change.raise();
    }
    std::vector<std::string> drives;
    std::string drive;
};

struct PlainDirList : DirListBox
{
    std::filesystem::path Path() const override { return path; }
    void setPath(const std::string& text) override
    {
        const std::filesystem::path folder = folderToOpen(text);
        if (folder == std::exchange(path, folder))
            return;
        folderRows(folder); // read as a real list reads it
        Change.raise();
    }
    std::filesystem::path path = folderToOpen("");
};

struct PlainTextBox : TextBox
{
    void setText(const std::string& shown) override { text = shown; }
    std::string text;
};

// The window: what it shows, and the tasks posted to its thread, run when the test says.
class PlainView : public FormView
{
public:
    void setCaption(const std::string& text) override { caption = text; }
    void lockSelections(bool on) override { locked = on; }
    void showFailures(const std::string& line, const std::string&) override { failureLine = line; }
    void showProgress(const std::string& text) override
    {
        const std::lock_guard lock(m_mutex);
        progress = text;
    }
    void post(std::function<void()> task) override
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        m_posted.notify_all();
    }
    // Runs what was posted until `done` holds; false when ten seconds pass first.
    template <typename Condition> bool runPostedUntil(Condition done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            std::unique_lock lock(m_mutex);
            if (!m_posted.wait_until(lock, deadline, [this] { return !m_tasks.empty(); }))
                return false;
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

    std::string caption = "Form1";
    bool locked = false;
    std::string failureLine;
    std::string progress;

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

// A store in memory that logs the keys written, and can refuse writes.
struct MemorySettings : SettingsStore
{
    std::string GetSetting(const std::string&, const std::string&, const std::string& key,
                           const std::string& defaultValue) override
    {
        return values.contains(key) ? values.at(key) : defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string& key,
                     const std::string& value) override
    {
        if (readOnly)
            throw RuntimeError(ErrorNumber::PathFileAccessError, "cannot store " + key);
        values[key] = value;
        written.push_back(key);
    }
    std::map<std::string, std::string> values;
    std::vector<std::string> written;
    bool readOnly = false;
};

} // namespace vorlund::test
