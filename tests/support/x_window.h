#pragma once

#include <string>

struct xcb_connection_t;

namespace vorlund::test {

// A real top-level window on the X display that the tests run on, titled as asked.
class XWindow
{
public:
    explicit XWindow(const std::string& title);
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;
    ~XWindow();

private:
    xcb_connection_t* m_connection;
};

} // namespace vorlund::test
