#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

namespace vorlund {

// A control's Change event: raised on the window's thread, and its handler runs to its end before
// the assignment that raised it returns.
class ChangeEvent
{
public:
    void connect(std::function<void()> handler) { m_handler = std::move(handler); }
    void raise() const
    {
        if (m_handler)
            m_handler();
    }

private:
    std::function<void()> m_handler;
};

// The drives to choose from. Each front end draws them with its own controls.
class DriveListBox
{
public:
    virtual ~DriveListBox() = default;
    // A drive text that can be stored, assigned back, and assigned to a folder list's Path.
    virtual std::string Drive() const = 0;
    // Raises DeviceUnavailable and changes nothing when `drive` is not present.
    virtual void setDrive(const std::string& drive) = 0;

    ChangeEvent Change;
};

// A folder list, open at one folder.
class DirListBox
{
public:
    virtual ~DirListBox() = default;
    virtual std::filesystem::path Path() const = 0;
    // Opens `path` (UTF-8 on Windows, the path's bytes elsewhere); the current folder for the
    // empty text. Raises PathNotFound and stays where it was when that is no folder.
    virtual void setPath(const std::string& path) = 0;

    ChangeEvent Change;
};

class TextBox
{
public:
    virtual ~TextBox() = default;
    virtual void setText(const std::string& text) = 0;
};

// The window itself, as its logic uses it.
class FormView
{
public:
    virtual ~FormView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // While locked, the drive and folder lists take no input: a pass keeps the folders it
    // started with. A lock that lasts longer than a moment may show.
    virtual void lockSelections(bool locked) = 0;
    // What cannot be done, in one line; `details` has every failure on a line of its own.
    virtual void showFailures(const std::string& line, const std::string& details) = 0;
    // How far a long move got; the empty text hides it.
    virtual void showProgress(const std::string& text) = 0;
    // Runs `task` on the window's thread, later, unless the window is gone by then.
    virtual void post(std::function<void()> task) = 0;
};

} // namespace vorlund
