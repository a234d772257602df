#include "engine/runtime_error.h"
#include "services/window_search.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <xcb/xcb.h>

// The X11 search's own ways: the old Latin-1 title, a window manager's frames, and a display that
// cannot be reached. window_search_test.cpp holds what every system's search does.

namespace vorlund {
namespace {

// On the Xvfb the test runs under, with no window manager: the test plays one where it needs one.
class WindowSearchX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(xcb_connection_has_error(m_connection), 0) << "ctest runs this under xvfb-run";
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    void TearDown() override
    {
        // Frames last: destroying one takes its client with it.
        for (auto window = m_windows.rbegin(); window != m_windows.rend(); ++window)
            xcb_destroy_window(m_connection, *window);
        xcb_delete_property(m_connection, m_root, atom("_NET_CLIENT_LIST"));
        xcb_disconnect(m_connection);
    }

    xcb_atom_t atom(const std::string& name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, false, static_cast<uint16_t>(name.size()), name.data()),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }
    xcb_window_t window(xcb_window_t parent, xcb_atom_t titleType, const std::string& title)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t property =
            titleType == XCB_ATOM_STRING ? xcb_atom_t{XCB_ATOM_WM_NAME} : atom("_NET_WM_NAME");
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, titleType, 8,
                            static_cast<uint32_t>(title.size()), title.data());
        m_windows.push_back(window);
        return window;
    }
    // Once the server has carried out the requests, the search's own connection sees them.
    bool found(const std::string& title)
    {
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        return topLevelWindowExists(title);
    }

    xcb_connection_t* m_connection = xcb_connect(nullptr, nullptr);
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::vector<xcb_window_t> m_windows;
};

TEST_F(WindowSearchX11Test, ReadsTheOldLatin1TitleUnlessTheUtf8OneIsSet)
{
    window(m_root, XCB_ATOM_STRING, "\xC5NGSTR\xD6M");
    const xcb_window_t renamed = window(m_root, atom("UTF8_STRING"), "Kazaa Lite");
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, renamed, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, 11, "Stale Title");

    EXPECT_TRUE(found("ångström"));
    EXPECT_TRUE(found("Kazaa Lite"));
    EXPECT_FALSE(found("Stale Title"));
}

TEST_F(WindowSearchX11Test, WithAWindowManagerItsListedClientsCountInsideTheirFrames)
{
    const xcb_window_t client =
        window(window(m_root, XCB_ATOM_STRING, "Frame"), atom("UTF8_STRING"), "Kazaa Lite");
    window(m_root, atom("UTF8_STRING"), "Not Managed");
    // A window that closed after the list was written must not end the search early.
    const std::vector<xcb_window_t> clients{xcb_generate_id(m_connection), client};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_CLIENT_LIST"),
                        XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(clients.size()), clients.data());

    EXPECT_TRUE(found("Kazaa Lite"));
    EXPECT_FALSE(found("Not Managed"));
}

// Read as "no such window", it would start a second client.
TEST(WindowSearchX11, ADisplayThatCannotBeReachedIsAnError)
{
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    ::unsetenv("DISPLAY");
    try {
        topLevelWindowExists("Kazaa Lite");
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DeviceUnavailable);
    }
    ::setenv("DISPLAY", display.c_str(), 1);
}

} // namespace
} // namespace vorlund
