#include "engine/runtime_error.h"
#include "services/window_search.h"
#include "services/window_title.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace vorlund {
namespace {

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

struct Disconnect
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

// In 32-bit units, which the server turns into bytes: as much as it can send, so that a title
// or client list always arrives whole.
constexpr std::uint32_t wholeProperty = std::numeric_limits<std::uint32_t>::max() / 4;

struct Atoms
{
    xcb_atom_t clientList;
    xcb_atom_t netWmName;
    xcb_atom_t utf8String;
};

// An error reply (a window that closed since it was listed) counts as no reply; it is freed
// here rather than left to pile up in the event queue.
template <class Cookie, class T>
Reply<T> wait(xcb_connection_t* connection, Cookie cookie,
              T* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**))
{
    xcb_generic_error_t* error = nullptr;
    Reply<T> result(reply(connection, cookie, &error));
    std::free(error);
    return result;
}

Atoms internAtoms(xcb_connection_t* connection)
{
    const auto intern = [connection](std::string_view name) {
        return xcb_intern_atom(connection, false, static_cast<std::uint16_t>(name.size()),
                               name.data());
    };
    const auto atom = [connection](xcb_intern_atom_cookie_t cookie) -> xcb_atom_t {
        const auto reply = wait(connection, cookie, xcb_intern_atom_reply);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    };
    // All three requests go out before the first answer is awaited: one round trip, not three.
    const auto clientList = intern("_NET_CLIENT_LIST");
    const auto netWmName = intern("_NET_WM_NAME");
    const auto utf8String = intern("UTF8_STRING");
    return {atom(clientList), atom(netWmName), atom(utf8String)};
}

// Null when the window has no such property.
Reply<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                         xcb_atom_t name)
{
    auto reply = wait(connection,
                      xcb_get_property(connection, false, window, name, XCB_GET_PROPERTY_TYPE_ANY,
                                       0, wholeProperty),
                      xcb_get_property_reply);
    if (reply && reply->type == XCB_ATOM_NONE)
        reply.reset();
    return reply;
}

std::string_view bytesOf(xcb_get_property_reply_t& reply)
{
    return {static_cast<const char*>(xcb_get_property_value(&reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(&reply))};
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

// _NET_WM_NAME is what window managers show; WM_NAME is for programs that predate it.
std::string titleOf(xcb_connection_t* connection, const Atoms& atoms, xcb_window_t window)
{
    if (const auto name = property(connection, window, atoms.netWmName);
        name && name->type == atoms.utf8String)
        return std::string(bytesOf(*name));
    const auto name = property(connection, window, XCB_ATOM_WM_NAME);
    if (!name)
        return {};
    if (name->type == XCB_ATOM_STRING)
        return latin1ToUtf8(bytesOf(*name));
    return std::string(bytesOf(*name));
}

// The window manager's list holds the windows it shows as top-level, whatever frames it put
// them in; without a window manager they are the root's children, shown or not.
std::vector<xcb_window_t> topLevelWindows(xcb_connection_t* connection, const Atoms& atoms,
                                          xcb_window_t root)
{
    if (const auto list = property(connection, root, atoms.clientList);
        list && list->type == XCB_ATOM_WINDOW && list->format == 32) {
        const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
        return {windows,
                windows + xcb_get_property_value_length(list.get()) / sizeof(xcb_window_t)};
    }
    const auto tree = wait(connection, xcb_query_tree(connection, root), xcb_query_tree_reply);
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

std::string describeConnectionError(int error)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "cannot look for windows: no X display is set (DISPLAY is empty)";
    const std::string named = "cannot look for windows: the X display '" + std::string(display);
    if (error == XCB_CONN_CLOSED_PARSE_ERR)
        return named + "' is not a valid display name";
    if (error == XCB_CONN_CLOSED_INVALID_SCREEN)
        return named + "' has no such screen";
    return named + "' cannot be reached";
}

} // namespace

bool topLevelWindowExists(const std::string& title)
{
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (const int error = xcb_connection_has_error(connection.get()))
        throw RuntimeError(ErrorNumber::DeviceUnavailable, describeConnectionError(error));

    const Atoms atoms = internAtoms(connection.get());
    const std::string wanted = foldTitleCase(title);
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())); screen.rem > 0;
         xcb_screen_next(&screen)) {
        for (const xcb_window_t window :
             topLevelWindows(connection.get(), atoms, screen.data->root))
            if (foldTitleCase(titleOf(connection.get(), atoms, window)) == wanted)
                return true;
    }
    // A server that went away midway answers nothing, which must not read as "no such window".
    if (xcb_connection_has_error(connection.get()))
        throw RuntimeError(ErrorNumber::DeviceUnavailable,
                           "cannot look for windows: the X display closed the connection");
    return false;
}

} // namespace vorlund
