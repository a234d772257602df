#pragma once

#include "win32/child_window.h"
#include "window/controls.h"

namespace vorlund::win32 {

// A one-line edit box; the user may type, and the program's next text overwrites it.
class TextBox : public ChildWindow, public vorlund::TextBox
{
public:
    TextBox(HWND parent, int id)
        : ChildWindow(parent, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, id, WS_EX_CLIENTEDGE)
    {}

    void setText(const std::string& text) override { setWindowText(text); }
};

} // namespace vorlund::win32
