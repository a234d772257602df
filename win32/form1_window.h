#pragma once

#include "services/settings_store.h"
#include "win32/child_window.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/layout.h"
#include "window/selection_lock.h"

#include <array>
#include <atomic>
#include <memory>
#include <windows.h>

namespace vorlund::win32 {

class DirListBox;
class DriveListBox;
class TextBox;

// Form1 drawn with the system's own controls.
class Form1Window : public FormView, private SelectionLock
{
public:
    explicit Form1Window(SettingsStore& settings);
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    HWND hwnd() const { return m_hwnd; }
    // Runs Form_Load, then shows the window (as the program was asked to) and lets Timer1 tick.
    void load(int show);
    // False for the user's input to a list held still by a pass: the message is to be dropped.
    bool takesInput(const MSG& message) const;

    void setCaption(const std::string& caption) override;
    void lockSelections(bool locked) override;
    void showFailures(const std::string& line, const std::string& details) override;
    void showProgress(const std::string& text) override;
    void post(std::function<void()> task) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Each message to the window; the longer answers in the functions below.
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void timer(UINT_PTR id);
    void activate(WORD state);
    // A task from post(), run once and deleted.
    void runPosted(LPARAM task);
    LRESULT colourStatic(WPARAM dc, LPARAM control);
    void dpiChanged(UINT dpi, const RECT& suggested);
    void destroy();
    void createControls();
    void applyDpi(UINT dpi);
    void placeControls(const Twips& twips);
    double scaleToFitTexts(UINT dpi) const;
    std::array<ChildWindow*, 9> controls() const;
    std::array<ChildWindow*, 4> selectionLists() const;
    void dropInput(bool dropping) override;
    int focusedList() const override;
    void enableLists(bool enabled) override;
    void focusList(int list) override;
    void showStatusLine();
    void command(int id, WORD code);

    HWND m_hwnd = nullptr;
    // Read by the listing and moves threads in post(); gone when the window is.
    std::atomic<HWND> m_postTarget = nullptr;
    HFONT m_font = nullptr;
    HWND m_tooltip = nullptr;
    std::array<std::unique_ptr<ChildWindow>, 2> Label1;
    std::unique_ptr<DirListBox> Dir1;
    std::unique_ptr<DriveListBox> Drive1;
    std::unique_ptr<DriveListBox> Drive2;
    std::unique_ptr<DirListBox> Dir2;
    std::unique_ptr<TextBox> Text1;
    std::unique_ptr<TextBox> Text2;
    std::unique_ptr<ChildWindow> m_statusLine;
    std::string m_failures;
    std::string m_failureDetails;
    std::string m_progress;
    HWND m_focusBeforeDeactivation = nullptr;
    std::unique_ptr<Form1> m_form;
};

} // namespace vorlund::win32
