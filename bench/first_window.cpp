// Starts a program and prints the milliseconds until its first window is shown (mapped) on the
// X display, then its process id; the program is left running. Usage: first_window PROGRAM
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 2;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    // A program that ends with no window shown (a DLL missing under Wine) ends the wait too.
    for (bool mapped = false; !mapped;) {
        pollfd events{xcb_get_file_descriptor(connection), POLLIN, 0};
        if (::poll(&events, 1, 100) == 0 && ::waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "first_window: %s ended with no window shown\n", argv[1]);
            return 1;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            mapped |= (event->response_type & ~0x80) == XCB_MAP_NOTIFY;
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            return 2;
    }
    const auto shown = std::chrono::steady_clock::now();
    std::printf("%lld %d\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(shown - start).count()),
                static_cast<int>(child));
    xcb_disconnect(connection);
    return 0;
}
