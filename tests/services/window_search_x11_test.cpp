#include "engine/runtime_error.h"
#include "services/window_search.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>
#include <xcb/xcb.h>

// The X11 search's own ways: the two title properties, window managers' client lists and frames,
// hidden windows and a display that cannot be reached. window_search_test.cpp holds what every
// system's search does.

namespace vorlund {
namespace {

struct Disconnect
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

// One connection for the whole run: the X server resets whenever its last client leaves, and a
// connection made while it resets fails.
xcb_connection_t* sharedConnection()
{
    static const std::unique_ptr<xcb_connection_t, Disconnect> connection(
        xcb_connect(nullptr, nullptr));
    return connection.get();
}

// Makes windows the way programs make them, on the display the test runs under: an Xvfb without
// a window manager, so the root's children are the top-level windows until a test sets
// _NET_CLIENT_LIST itself. The windows stay unmapped: hidden windows count too.
class WindowSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(xcb_connection_has_error(m_connection), 0)
            << "cannot connect to the X display '"
            << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "")
            << "'; ctest runs this test under xvfb-run";
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        ASSERT_FALSE(rootHasClientList()) << "a window manager runs on this display";
    }

    void TearDown() override
    {
        if (xcb_connection_has_error(m_connection))
            return;
        // Children first: destroying a parent takes its children with it.
        for (auto window = m_windows.rbegin(); window != m_windows.rend(); ++window)
            xcb_destroy_window(m_connection, *window);
        xcb_delete_property(m_connection, m_root, atom("_NET_CLIENT_LIST"));
        sync();
    }

    xcb_atom_t atom(const std::string& name)
    {
        const auto cookie = xcb_intern_atom(m_connection, false,
                                            static_cast<std::uint16_t>(name.size()), name.data());
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    xcb_window_t createWindow(std::optional<xcb_window_t> parent = std::nullopt)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent.value_or(m_root), 0, 0,
                          100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0,
                          nullptr);
        m_windows.push_back(window);
        return window;
    }

    void setProperty(xcb_window_t window, xcb_atom_t name, xcb_atom_t type, const std::string& text)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, name, type, 8,
                            static_cast<std::uint32_t>(text.size()), text.data());
    }
    void setNetWmName(xcb_window_t window, const std::string& utf8)
    {
        setProperty(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), utf8);
    }
    void setWmName(xcb_window_t window, const std::string& latin1)
    {
        setProperty(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, latin1);
    }
    xcb_window_t titledWindow(const std::string& title)
    {
        const xcb_window_t window = createWindow();
        setNetWmName(window, title);
        return window;
    }

    // What a window manager keeps on the root.
    void setClientList(const std::vector<xcb_window_t>& windows)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_CLIENT_LIST"),
                            XCB_ATOM_WINDOW, 32, static_cast<std::uint32_t>(windows.size()),
                            windows.data());
    }
    bool rootHasClientList()
    {
        const auto cookie = xcb_get_property(m_connection, false, m_root, atom("_NET_CLIENT_LIST"),
                                             XCB_ATOM_ANY, 0, 0);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        return reply && reply->type != XCB_ATOM_NONE;
    }

    // Returns once the server has carried out every request sent so far, so that the search's
    // own connection sees their results; fails the test on any request the server refused.
    void sync()
    {
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if (event->response_type == 0)
                ADD_FAILURE() << "the X server refused a request: error code "
                              << int(reinterpret_cast<xcb_generic_error_t*>(event)->error_code);
            std::free(event);
        }
        ASSERT_EQ(xcb_connection_has_error(m_connection), 0);
    }

    bool found(const std::string& title)
    {
        sync();
        return topLevelWindowExists(title);
    }

    xcb_connection_t* const m_connection = sharedConnection();
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::vector<xcb_window_t> m_windows;
};

struct TitleCase
{
    const char* name;
    std::optional<std::string> netWmName; // UTF-8
    std::optional<std::string> wmName;    // Latin-1
    std::string searched;
    bool found;
};
void PrintTo(const TitleCase& test, std::ostream* out)
{
    *out << test.name;
}

class WindowTitleTest : public WindowSearchTest, public ::testing::WithParamInterface<TitleCase>
{
};

INSTANTIATE_TEST_SUITE_P(
    , WindowTitleTest,
    ::testing::Values(
        TitleCase{"OnlyWmNameInLatin1", {}, "\xC5ngstr\xF6m", "Ångström", true},
        TitleCase{"OnlyWmNameInLatin1OtherCase", {}, "\xC5NGSTR\xD6M", "ångström", true},
        TitleCase{"OnlyWmNameAscii", {}, "Kazaa Lite", "KAZAA LITE", true},
        TitleCase{"NetWmNameIsTheTitle", "Kazaa Lite", "Stale Title", "Kazaa Lite", true},
        TitleCase{"WmNameIsNotTheTitleWhenNetWmNameIsSet", "Kazaa Lite", "Stale Title",
                  "Stale Title", false}),
    [](const auto& info) { return info.param.name; });

TEST_P(WindowTitleTest, FindsAWindowByItsWholeTitleIgnoringCase)
{
    const TitleCase& test = GetParam();
    const xcb_window_t window = createWindow();
    if (test.netWmName)
        setNetWmName(window, *test.netWmName);
    if (test.wmName)
        setWmName(window, *test.wmName);

    EXPECT_EQ(found(test.searched), test.found);
}

TEST_F(WindowSearchTest, FindsShownWindowsAsWellAsHiddenOnes)
{
    const xcb_window_t window = titledWindow("Kazaa Lite");
    xcb_map_window(m_connection, window);

    EXPECT_TRUE(found("Kazaa Lite"));
}

TEST_F(WindowSearchTest, AWindowInsideAnotherIsNotTopLevel)
{
    const xcb_window_t child = createWindow(createWindow());
    setNetWmName(child, "Kazaa Lite");

    EXPECT_FALSE(found("Kazaa Lite"));
}

TEST_F(WindowSearchTest, WithAWindowManagerOnlyItsListedWindowsCount)
{
    // A reparenting window manager puts each client inside a frame of its own.
    const xcb_window_t frame = createWindow();
    const xcb_window_t client = createWindow(frame);
    setNetWmName(client, "Kazaa Lite");
    titledWindow("Not Managed");
    // A window that closed after the list was written must not end the search early.
    const xcb_window_t closed = xcb_generate_id(m_connection);
    setClientList({closed, client});

    EXPECT_TRUE(found("Kazaa Lite"));
    EXPECT_FALSE(found("Not Managed"));
}

TEST_F(WindowSearchTest, AnEmptyClientListMeansNoWindows)
{
    titledWindow("Kazaa Lite");
    setClientList({});

    EXPECT_FALSE(found("Kazaa Lite"));
}

// Sets DISPLAY for its lifetime, or unsets it for nullptr, and puts the old value back.
class DisplayVariable
{
public:
    explicit DisplayVariable(const char* value)
    {
        if (const char* old = std::getenv("DISPLAY"))
            m_old = old;
        if (value)
            ::setenv("DISPLAY", value, 1);
        else
            ::unsetenv("DISPLAY");
    }
    DisplayVariable(const DisplayVariable&) = delete;
    DisplayVariable& operator=(const DisplayVariable&) = delete;
    ~DisplayVariable()
    {
        if (m_old)
            ::setenv("DISPLAY", m_old->c_str(), 1);
        else
            ::unsetenv("DISPLAY");
    }

private:
    std::optional<std::string> m_old;
};

struct DisplayCase
{
    const char* name;
    const char* display; // nullptr: unset
    std::string named;   // what the message must name
};
void PrintTo(const DisplayCase& test, std::ostream* out)
{
    *out << test.name;
}

class UnreachableDisplayTest : public ::testing::TestWithParam<DisplayCase>
{
};

INSTANTIATE_TEST_SUITE_P(, UnreachableDisplayTest,
                         ::testing::Values(DisplayCase{"Unset", nullptr, "DISPLAY"},
                                           DisplayCase{"Empty", "", "DISPLAY"},
                                           DisplayCase{"Malformed", "no display", "no display"},
                                           DisplayCase{"NoServer", ":4095", ":4095"}),
                         [](const auto& info) { return info.param.name; });

TEST_P(UnreachableDisplayTest, RaisesDeviceUnavailableNamingTheProblem)
{
    const DisplayCase& test = GetParam();
    if (test.display && std::string_view(test.display) == ":4095" &&
        std::filesystem::exists("/tmp/.X11-unix/X4095"))
        GTEST_SKIP() << "an X server runs on display :4095";
    const DisplayVariable display(test.display);

    try {
        topLevelWindowExists("Kazaa Lite");
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DeviceUnavailable);
        EXPECT_NE(error.description().find(test.named), std::string::npos) << error.description();
    }
}

} // namespace
} // namespace vorlund
