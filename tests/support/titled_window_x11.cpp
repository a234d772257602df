#include "titled_window.h"

#include <cstdlib>
#include <stdexcept>
#include <xcb/xcb.h>

namespace vorlund::test {
namespace {

std::string latin1(const std::string& utf8)
{
    std::string text;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        text += byte < 0x80 ? char(byte) : char(((byte & 0x03) << 6) | (utf8[++i] & 0x3F));
    }
    return text;
}

} // namespace

// As a window manager shows an older program's window: inside a frame, listed on the root with a
// window that has closed since, titled in Latin-1 by WM_NAME alone.
TitledWindow::TitledWindow(const std::string& title) : m_native(xcb_connect(nullptr, nullptr))
{
    auto* const connection = static_cast<xcb_connection_t*>(m_native);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        throw std::runtime_error("no X display to create a test window on");
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto window = [&](xcb_window_t parent) {
        const xcb_window_t made = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, made, parent, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connection, made);
        return made;
    };
    const xcb_window_t titled = window(window(root));
    const std::string name = latin1(title);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, titled, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(name.size()), name.c_str());
    xcb_intern_atom_reply_t* clientList = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, 16, "_NET_CLIENT_LIST"), nullptr);
    const xcb_window_t listed[]{xcb_generate_id(connection), titled};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, clientList->atom, XCB_ATOM_WINDOW,
                        32, 2, listed);
    std::free(clientList);
    // Carried out before anyone looks for the window.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// The server closes the window with the connection.
TitledWindow::~TitledWindow()
{
    xcb_disconnect(static_cast<xcb_connection_t*>(m_native));
}

} // namespace vorlund::test
