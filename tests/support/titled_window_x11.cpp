#include "titled_window.h"

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

xcb_connection_t* asConnection(void* native)
{
    return static_cast<xcb_connection_t*>(native);
}

// The server has carried out every request sent so far once this returns: a window is made, or
// gone, before anyone looks for it.
void roundTrip(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace

TitledWindow::TitledWindow(const std::string& title) : m_native(xcb_connect(nullptr, nullptr))
{
    xcb_connection_t* const connection = asConnection(m_native);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        throw std::runtime_error("no X display to create a test window on");
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = m_window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const auto length = static_cast<uint32_t>(title.size());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, length, title.c_str());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, "_NET_WM_NAME"),
                        atom(connection, "UTF8_STRING"), 8, length, title.c_str());
    xcb_map_window(connection, window);
    roundTrip(connection);
}

TitledWindow::~TitledWindow()
{
    xcb_connection_t* const connection = asConnection(m_native);
    xcb_destroy_window(connection, m_window);
    roundTrip(connection);
    xcb_disconnect(connection);
}

} // namespace vorlund::test
