#include "win32/form1_window.h"

#include "engine/utf16_win32.h"
#include "win32/control_ids.h"
#include "win32/dir_list_box.h"
#include "win32/drive_list_box.h"
#include "win32/present_date.h"
#include "win32/text_box.h"

#include <algorithm>
#include <commctrl.h>
// oleacc.dll exports its GUIDs as data, which the import library cannot link as such.
#include <initguid.h>
#include <oleacc.h>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vorlund::win32 {
namespace {

constexpr UINT_PTR Timer1Id = 1;
constexpr UINT_PTR greyOutTimerId = 2;
constexpr UINT postedTask = WM_APP + 1;
constexpr DWORD windowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD windowExStyle = 0;
const wchar_t* const windowClassName = L"vorlund Form1";

HICON loadIcon(int sizeMetric)
{
    const int size = ::GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON,
                                           size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

void registerWindowClass(WNDPROC windowProc)
{
    static const bool registered = [windowProc] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hIcon = loadIcon(SM_CXICON);
        windowClass.hIconSm = loadIcon(SM_CXSMICON);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
        windowClass.lpszClassName = windowClassName;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered)
        throw std::runtime_error("cannot register the window's class");
}

// A function of user32 that older Windows lack, or nullptr.
template <class Function> Function* user32Function(const char* name)
{
    const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

UINT screenDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return UINT(dpi);
}

// The window's DPI where the system tells it per window (Windows 10 1607 on), else the screen's.
UINT dpiOf(HWND hwnd)
{
    const auto forWindow = user32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    return forWindow ? forWindow(hwnd) : screenDpi();
}

// The font of the system's own dialogs and message boxes (Segoe UI on Windows 10 and 11), at the
// size the user chose for text, for a window at `dpi`.
HFONT dialogFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const auto forDpi =
        user32Function<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return ::CreateFontIndirectW(&metrics.lfMessageFont);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight =
        ::MulDiv(metrics.lfMessageFont.lfHeight, int(dpi), int(screenDpi()));
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

// The frame around a client area, at the window's DPI where the system can say.
void addFrame(RECT& client, UINT dpi)
{
    const auto forDpi =
        user32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&client, windowStyle, FALSE, windowExStyle, dpi))
        ::AdjustWindowRectEx(&client, windowStyle, FALSE, windowExStyle);
}

// In high contrast the user's own colours hold, red text among them not.
bool highContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A static text that nobody sees: a screen reader names the control made next after it.
void nameNext(HWND parent, const char* name)
{
    ::CreateWindowExW(0, L"STATIC", toUtf16(name).c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                      parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// Tells a screen reader more of the control than it finds itself; Wine keeps none of it.
void annotate(HWND hwnd, const MSAAPROPID& property, const VARIANT& value)
{
    IAccPropServices* services = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, reinterpret_cast<void**>(&services))))
        return;
    services->SetHwndProp(hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, property, value);
    services->Release();
}

void annotate(HWND hwnd, const MSAAPROPID& property, const std::wstring& text)
{
    VARIANT value{};
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocString(text.c_str());
    annotate(hwnd, property, value);
    ::VariantClear(&value);
}

// What of `text` fits `control` in its font: a long line gives up the middle of its path, keeping
// what failed and why.
std::wstring fitPath(HWND control, const std::wstring& text)
{
    RECT room{};
    ::GetClientRect(control, &room);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ before =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    // Room for the ellipsis, which may make a short text longer, and a terminating zero.
    std::vector<wchar_t> shown(text.begin(), text.end());
    shown.resize(text.size() + 5, L'\0');
    ::DrawTextExW(dc, shown.data(), int(text.size()), &room,
                  DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    ::SelectObject(dc, before);
    ::DeleteDC(dc);
    return shown.data();
}

void showMsgBox(HWND owner, const std::string& prompt, MsgBoxStyle style, const std::string& title)
{
    ::MessageBoxW(owner, toUtf16(prompt).c_str(), toUtf16(title).c_str(),
                  MB_OK | (style == vbCritical ? MB_ICONERROR : 0));
}

} // namespace

Form1Window::Form1Window(SettingsStore& settings)
{
    registerWindowClass(&Form1Window::windowProc);
    m_hwnd = ::CreateWindowExW(windowExStyle, windowClassName, L"Form1", windowStyle, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), this);
    if (!m_hwnd)
        throw std::runtime_error("cannot create the window");
    m_postTarget = m_hwnd;
    createControls();
    applyDpi(dpiOf(m_hwnd));
    m_form = std::make_unique<Form1>(
        Form1Controls{*this, *Drive1, *Drive2, *Dir1, *Dir2, *Text1, *Text2},
        Form1Services{
            presentDate, settings,
            [this](const std::string& prompt, MsgBoxStyle style, const std::string& title) {
                showMsgBox(m_hwnd, prompt, style, title);
            },
            &systemFileOps(), Client{}});
}

Form1Window::~Form1Window()
{
    m_form.reset();
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    if (m_font)
        ::DeleteObject(m_font);
}

void Form1Window::createControls()
{
    // Made in tab order, which is the order the dialog manager moves through them. A screen
    // reader names each list and box by the static text made just before it: its column's label,
    // or a hidden one.
    const DWORD labelStyle = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    Label1[0] = std::make_unique<ChildWindow>(m_hwnd, L"STATIC", labelStyle, Label1_0Id);
    Dir1 = std::make_unique<DirListBox>(m_hwnd, Dir1Id);
    nameNext(m_hwnd, Label1Captions[0]);
    Drive1 = std::make_unique<DriveListBox>(m_hwnd, Drive1Id);
    Label1[1] = std::make_unique<ChildWindow>(m_hwnd, L"STATIC", labelStyle, Label1_1Id);
    Drive2 = std::make_unique<DriveListBox>(m_hwnd, Drive2Id);
    nameNext(m_hwnd, Label1Captions[1]);
    Dir2 = std::make_unique<DirListBox>(m_hwnd, Dir2Id);
    nameNext(m_hwnd, countNames[0]);
    Text1 = std::make_unique<TextBox>(m_hwnd, Text1Id);
    nameNext(m_hwnd, countNames[1]);
    Text2 = std::make_unique<TextBox>(m_hwnd, Text2Id);
    for (int index = 0; index < 2; ++index)
        Label1[index]->setWindowText(Label1Captions[index]);
    m_statusLine = std::make_unique<ChildWindow>(
        m_hwnd, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, FailureLineId);
    // A live region (Windows 8 on): a screen reader speaks its changes as they come.
    static const GUID liveSetting = {
        0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    VARIANT assertive{};
    assertive.vt = VT_I4;
    assertive.lVal = 2;
    annotate(m_statusLine->hwnd(), liveSetting, assertive);

    // Every failure, one to a line, where the status line has room only for the first.
    m_tooltip =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_statusLine->hwnd());
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 600);
}

// In the order of the layout's controls.
std::array<ChildWindow*, 9> Form1Window::controls() const
{
    return {Label1[0].get(), Label1[1].get(), Dir1.get(),  Drive1.get(),      Drive2.get(),
            Dir2.get(),      Text1.get(),     Text2.get(), m_statusLine.get()};
}

std::array<ChildWindow*, 4> Form1Window::selectionLists() const
{
    return {Drive1.get(), Drive2.get(), Dir1.get(), Dir2.get()};
}

void Form1Window::applyDpi(UINT dpi)
{
    const HFONT font = dialogFont(dpi);
    for (ChildWindow* control : controls())
        control->setFont(font);
    if (m_font)
        ::DeleteObject(m_font);
    m_font = font;

    placeControls(Twips{int(dpi), scaleToFitTexts(dpi)});
    showStatusLine();
}

void Form1Window::placeControls(const Twips& twips)
{
    for (const auto& [control, rect] : controlPlaces) {
        ChildWindow* const child = controls()[std::size_t(control)];
        RECT pixels{twips.pixels(rect.left), twips.pixels(rect.top),
                    twips.pixels(rect.left + rect.width), twips.pixels(rect.top + rect.height)};
        // A drop-down list's height is that of its list when open.
        if (child == Drive1.get() || child == Drive2.get())
            pixels.bottom += twips.pixels(rect.height) * 10;
        child->place(pixels);
    }
    RECT frame{0, 0, twips.pixels(clientWidthTwips), twips.pixels(clientHeightTwips)};
    addFrame(frame, UINT(twips.dpi));
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Form1Window::scaleToFitTexts(UINT dpi) const
{
    const HDC dc = ::GetDC(m_hwnd);
    const HGDIOBJ before = ::SelectObject(dc, m_font);
    // An edit box's border, its inner margins and the caret.
    const DWORD margins = DWORD(::SendMessageW(Text1->hwnd(), EM_GETMARGINS, 0, 0));
    const int editFrame = 4 * ::GetSystemMetrics(SM_CXEDGE) + LOWORD(margins) + HIWORD(margins) + 2;
    const double scale =
        scaleToFit(int(dpi), [&](vorlund::Control control, const std::string& text) {
            const std::wstring wide = toUtf16(text);
            SIZE size{};
            ::GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
            const bool edit =
                control == vorlund::Control::Text1 || control == vorlund::Control::Text2;
            return int(size.cx) + (edit ? editFrame : 0);
        });
    ::SelectObject(dc, before);
    ::ReleaseDC(m_hwnd, dc);
    return scale;
}

void Form1Window::load(int show)
{
    m_form->Form_Load();
    ::ShowWindow(m_hwnd, show);
    ::UpdateWindow(m_hwnd);
    ::SetTimer(m_hwnd, Timer1Id, 1000, nullptr);
}

bool Form1Window::takesInput(const MSG& message) const
{
    const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                       (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
    if (!locked() || !input)
        return true;
    for (const ChildWindow* list : selectionLists()) {
        if (message.hwnd == list->hwnd() || ::IsChild(list->hwnd(), message.hwnd))
            return false;
    }
    return true;
}

void Form1Window::setCaption(const std::string& caption)
{
    ::SetWindowTextW(m_hwnd, toUtf16(caption).c_str());
}

void Form1Window::lockSelections(bool on)
{
    if (on)
        lock();
    else
        unlock();
}

void Form1Window::dropInput(bool dropping)
{
    if (!dropping) {
        ::KillTimer(m_hwnd, greyOutTimerId);
        return;
    }
    for (const DriveListBox* drives : {Drive1.get(), Drive2.get()})
        ::SendMessageW(drives->hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
    ::SetTimer(m_hwnd, greyOutTimerId, UINT(greyOutDelay.count()), nullptr);
}

int Form1Window::focusedList() const
{
    const auto lists = selectionLists();
    const auto focused = std::ranges::find(lists, ::GetFocus(), &ChildWindow::hwnd);
    return focused == lists.end() ? -1 : int(focused - lists.begin());
}

void Form1Window::enableLists(bool enabled)
{
    for (ChildWindow* list : selectionLists())
        ::EnableWindow(list->hwnd(), enabled);
}

void Form1Window::focusList(int list)
{
    ::SetFocus(selectionLists()[std::size_t(list)]->hwnd());
}

void Form1Window::showFailures(const std::string& line, const std::string& details)
{
    if (line == m_failures && details == m_failureDetails)
        return;
    m_failureDetails = details;
    const bool changed = line != std::exchange(m_failures, line);
    const std::wstring tip = toUtf16(details);
    // Every failure, for a screen reader as for the mouse.
    annotate(m_statusLine->hwnd(), PROPID_ACC_DESCRIPTION, tip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_statusLine->hwnd());
    tool.lpszText = const_cast<wchar_t*>(tip.c_str());
    ::SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    showStatusLine();
    if (changed && m_progress.empty())
        ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_statusLine->hwnd(), OBJID_CLIENT,
                         CHILDID_SELF);
}

void Form1Window::showProgress(const std::string& text)
{
    m_progress = text;
    showStatusLine();
}

// A long move's progress takes the line while it lasts; the failures come back after.
void Form1Window::showStatusLine()
{
    const std::wstring line = toUtf16(m_progress.empty() ? m_failures : m_progress);
    ::SetWindowTextW(m_statusLine->hwnd(), fitPath(m_statusLine->hwnd(), line).c_str());
    // A screen reader has it whole.
    annotate(m_statusLine->hwnd(), PROPID_ACC_NAME, line);
}

void Form1Window::post(std::function<void()> task)
{
    auto* posted = new std::function<void()>(std::move(task));
    const HWND target = m_postTarget;
    if (!target || !::PostMessageW(target, postedTask, 0, reinterpret_cast<LPARAM>(posted)))
        delete posted;
}

void Form1Window::command(int id, WORD code)
{
    // Enter, which the dialog manager turns into the default button's IDOK, opens a folder.
    if (id == IDOK) {
        for (DirListBox* list : {Dir1.get(), Dir2.get()}) {
            if (::GetFocus() == list->hwnd())
                list->openSelected();
        }
        return;
    }
    for (ChildWindow* control : controls()) {
        if (control->id() == id)
            control->notified(code);
    }
}

LRESULT CALLBACK Form1Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Form1Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->m_hwnd)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

void Form1Window::timer(UINT_PTR id)
{
    if (id == Timer1Id)
        m_form->startPassUnlessOneRuns();
    else if (id == greyOutTimerId) {
        ::KillTimer(m_hwnd, greyOutTimerId);
        greyOut();
    }
}

// As a dialog does: the control that had the keyboard gets it back, the first list at first.
void Form1Window::activate(WORD state)
{
    if (state == WA_INACTIVE)
        m_focusBeforeDeactivation = ::GetFocus();
    else
        ::SetFocus(::IsChild(m_hwnd, m_focusBeforeDeactivation) ? m_focusBeforeDeactivation
                                                                : Dir1->hwnd());
}

void Form1Window::runPosted(LPARAM task)
{
    const std::unique_ptr<std::function<void()>> owned(
        reinterpret_cast<std::function<void()>*>(task));
    (*owned)();
}

// Failures in their colour; progress, as every other static text, as the system draws it.
LRESULT Form1Window::colourStatic(WPARAM dc, LPARAM control)
{
    const LRESULT brush = ::DefWindowProcW(m_hwnd, WM_CTLCOLORSTATIC, dc, control);
    if (reinterpret_cast<HWND>(control) == m_statusLine->hwnd() && m_progress.empty() &&
        !highContrast())
        ::SetTextColor(reinterpret_cast<HDC>(dc),
                       RGB(failureColour.red, failureColour.green, failureColour.blue));
    return brush;
}

void Form1Window::dpiChanged(UINT dpi, const RECT& suggested)
{
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(dpi);
}

void Form1Window::destroy()
{
    ::KillTimer(m_hwnd, Timer1Id);
    ::KillTimer(m_hwnd, greyOutTimerId);
    m_postTarget = nullptr;
    // Tasks posted but never run. Drained before the quit is posted: a filtered PeekMessage
    // takes WM_QUIT too.
    MSG left;
    while (::PeekMessageW(&left, m_hwnd, postedTask, postedTask, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(left.lParam);
    ::PostQuitMessage(0);
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        timer(wParam);
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        // Also while the lists are made, before they are ours.
        for (DirListBox* list : {Dir1.get(), Dir2.get()}) {
            if (list && reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == list->hwnd())
                return list->notify(*reinterpret_cast<const NMHDR*>(lParam));
        }
        break;
    case WM_ACTIVATE:
        activate(LOWORD(wParam));
        return 0;
    case postedTask:
        runPosted(lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return colourStatic(wParam, lParam);
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        // A copy broken off keeps its source; the window need not wait for a long one to end.
        m_form->Form_Unload();
        ::DestroyWindow(m_hwnd);
        return 0;
    case WM_DESTROY:
        destroy();
        return 0;
    case WM_NCDESTROY: {
        const HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    }
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace vorlund::win32
