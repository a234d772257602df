#include "x_window.h"

#include <cstdlib>
#include <stdexcept>
#include <xcb/xcb.h>

namespace vorlund::test {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

} // namespace

XWindow::XWindow(const std::string& title) : m_connection(xcb_connect(nullptr, nullptr))
{
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("no X display to create a test window on");
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const auto length = static_cast<uint32_t>(title.size());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, length, title.c_str());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window,
                        atom(m_connection, "_NET_WM_NAME"), atom(m_connection, "UTF8_STRING"), 8,
                        length, title.c_str());
    xcb_map_window(m_connection, window);
    // A round trip: the server has made the window before anyone looks for it.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

XWindow::~XWindow()
{
    xcb_disconnect(m_connection);
}

} // namespace vorlund::test
