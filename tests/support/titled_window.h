#pragma once

#include <string>

namespace vorlund::test {

// A real top-level window titled as asked (UTF-8); never shown on Windows, where Wine would wait.
class TitledWindow
{
public:
    explicit TitledWindow(const std::string& title);
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;
    ~TitledWindow();

private:
    void* m_native; // the X connection that owns the window, or the window's HWND
};

} // namespace vorlund::test
