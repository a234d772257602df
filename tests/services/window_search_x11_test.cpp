#include "services/window_search.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>
#include <xcb/xcb.h>

namespace vorlund {
namespace {

// Under a window manager the client's window lies inside a frame, and the manager lists it on the
// root window: a search of the root's own children would start a second client.
TEST(WindowSearchX11, FindsAListedClientInsideItsFrame)
{
    xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(connection), 0) << "ctest runs this under xvfb-run";
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto atom = [&](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, false, std::strlen(name), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    const auto window = [&](xcb_window_t parent, const char* title) {
        const xcb_window_t made = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, made, parent, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, made, atom("_NET_WM_NAME"),
                            atom("UTF8_STRING"), 8, std::strlen(title), title);
        return made;
    };
    const xcb_window_t client = window(window(root, "Frame"), "Kazaa Lite");
    window(root, "Not Managed");
    // A window that closed after the list was written must not end the search early.
    const std::vector<xcb_window_t> clients{xcb_generate_id(connection), client};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST"),
                        XCB_ATOM_WINDOW, 32, clients.size(), clients.data());
    // Once the server has carried out the requests, the search's own connection sees them.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    EXPECT_TRUE(topLevelWindowExists("Kazaa Lite"));
    EXPECT_FALSE(topLevelWindowExists("Not Managed"));
    xcb_delete_property(connection, root, atom("_NET_CLIENT_LIST"));
    xcb_disconnect(connection);
}

} // namespace
} // namespace vorlund
