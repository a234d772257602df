#include "win32/drive_list_box.h"

#include "engine/runtime_error.h"
#include "engine/utf16_win32.h"

#include <cctype>
#include <cwctype>

namespace vorlund::win32 {
namespace {

std::wstring rootOf(wchar_t letter)
{
    return {letter, L':', L'\\'};
}

// The drive's letter as the list shows it, with the volume's label where it has one. Only local
// disks are asked for theirs: asking a floppy, a CD or a share can take seconds.
std::wstring driveText(wchar_t letter)
{
    std::wstring text{wchar_t(std::towlower(letter)), L':'};
    const std::wstring root = rootOf(letter);
    const UINT type = ::GetDriveTypeW(root.c_str());
    wchar_t label[MAX_PATH + 1] = {};
    if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
        ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                nullptr, 0) &&
        label[0] != L'\0')
        text += L" [" + std::wstring(label) + L"]";
    return text;
}

// The letter of a drive text: "C:\", "c:", "c: [System]", in any letter case; 0 for anything else.
wchar_t letterOf(const std::string& drive)
{
    const char c = drive.empty() ? 0 : char(std::toupper(static_cast<unsigned char>(drive[0])));
    return drive.size() >= 2 && drive[1] == ':' && c >= 'A' && c <= 'Z' ? wchar_t(c) : 0;
}

wchar_t currentDriveLetter()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, folder);
    return length >= 2 && length < MAX_PATH && folder[1] == L':' ? wchar_t(std::towupper(folder[0]))
                                                                 : L'C';
}

} // namespace

DriveListBox::DriveListBox(HWND parent, int id)
    : ChildWindow(parent, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id),
      m_letter(currentDriveLetter())
{
    fill();
}

std::string DriveListBox::Drive() const
{
    return toUtf8(rootOf(m_letter));
}

void DriveListBox::setDrive(const std::string& drive)
{
    const wchar_t letter = letterOf(drive);
    if (!letter || !(::GetLogicalDrives() & (1u << (letter - L'A'))))
        throw RuntimeError(ErrorNumber::DeviceUnavailable, "drive not present: '" + drive + "'");
    fill();
    select(letter);
}

void DriveListBox::notified(WORD code)
{
    if (code == CBN_DROPDOWN) {
        fill();
        return;
    }
    if (code != CBN_SELCHANGE)
        return;
    const auto index = ::SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
    if (index != CB_ERR)
        select(wchar_t(::SendMessageW(hwnd(), CB_GETITEMDATA, WPARAM(index), 0)));
}

// Drives come and go (a stick plugged in, a share mapped): the list is read afresh before use.
void DriveListBox::fill()
{
    ::SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    const DWORD drives = ::GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(drives & (1u << bit)))
            continue;
        const wchar_t letter = wchar_t(L'A' + bit);
        const auto index = ::SendMessageW(hwnd(), CB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(driveText(letter).c_str()));
        ::SendMessageW(hwnd(), CB_SETITEMDATA, WPARAM(index), LPARAM(letter));
        if (letter == m_letter)
            ::SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(index), 0);
    }
}

void DriveListBox::select(wchar_t letter)
{
    const int count = int(::SendMessageW(hwnd(), CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        if (wchar_t(::SendMessageW(hwnd(), CB_GETITEMDATA, WPARAM(index), 0)) == letter)
            ::SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(index), 0);
    }
    if (letter == m_letter)
        return;
    m_letter = letter;
    Change.raise();
}

} // namespace vorlund::win32
