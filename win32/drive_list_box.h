#pragma once

#include "win32/child_window.h"
#include "window/controls.h"

namespace vorlund::win32 {

// The drives present, in a drop-down list as the classic drive list shows them: "c: [System]".
class DriveListBox : public ChildWindow, public vorlund::DriveListBox
{
public:
    DriveListBox(HWND parent, int id);

    // "C:\", which a folder list opens and the list takes back.
    std::string Drive() const override;
    void setDrive(const std::string& drive) override;
    void notified(WORD code) override;

private:
    void fill();
    void select(wchar_t letter);

    wchar_t m_letter;
};

} // namespace vorlund::win32
