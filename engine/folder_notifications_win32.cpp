#include "engine/folder_notifications_win32.h"

#include "engine/folder_notifications.h"
#include "engine/system_path.h"
#include "engine/utf16_win32.h"

#include <cstring>
#include <windows.h>

namespace vorlund {

std::optional<std::vector<std::string>> notifiedNames(const std::byte* records, unsigned long bytes)
{
    if (bytes == 0)
        return std::nullopt;
    std::vector<std::string> names;
    for (DWORD at = 0;;) {
        FILE_NOTIFY_INFORMATION record;
        std::memcpy(&record, records + at, sizeof record);
        std::wstring name(record.FileNameLength / sizeof(wchar_t), L'\0');
        std::memcpy(name.data(), records + at + offsetof(FILE_NOTIFY_INFORMATION, FileName),
                    record.FileNameLength);
        names.push_back(toUtf8(name));
        if (record.NextEntryOffset == 0)
            return names;
        at += record.NextEntryOffset;
    }
}

struct FolderNotifications::System
{
    HANDLE folder = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    alignas(DWORD) std::byte buffer[64 * 1024];
    bool lost = false;

    void listen()
    {
        constexpr DWORD filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                 FILE_NOTIFY_CHANGE_ATTRIBUTES;
        lost = !::ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE, filter, nullptr,
                                        &overlapped, nullptr);
    }
};

FolderNotifications::FolderNotifications(const std::filesystem::path& folder)
    : m_system(std::make_unique<System>())
{
    m_system->folder =
        ::CreateFileW(systemPath(folder).c_str(), FILE_LIST_DIRECTORY,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    m_system->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_system->folder == INVALID_HANDLE_VALUE || !m_system->overlapped.hEvent)
        m_system->lost = true;
    else
        m_system->listen();
}

FolderNotifications::~FolderNotifications()
{
    if (m_system->folder != INVALID_HANDLE_VALUE) {
        DWORD bytes = 0;
        if (!m_system->lost && ::CancelIoEx(m_system->folder, &m_system->overlapped))
            ::GetOverlappedResult(m_system->folder, &m_system->overlapped, &bytes, TRUE);
        ::CloseHandle(m_system->folder);
    }
    if (m_system->overlapped.hEvent)
        ::CloseHandle(m_system->overlapped.hEvent);
}

std::optional<std::vector<std::string>> FolderNotifications::take()
{
    std::vector<std::string> changes;
    while (!m_system->lost) {
        DWORD bytes = 0;
        if (!::GetOverlappedResult(m_system->folder, &m_system->overlapped, &bytes, FALSE)) {
            if (::GetLastError() == ERROR_IO_INCOMPLETE)
                return changes;
            m_system->lost = true;
            break;
        }
        const std::optional<std::vector<std::string>> names =
            notifiedNames(m_system->buffer, bytes);
        if (!names) {
            m_system->lost = true;
            break;
        }
        changes.insert(changes.end(), names->begin(), names->end());
        ::ResetEvent(m_system->overlapped.hEvent);
        m_system->listen();
    }
    return std::nullopt;
}

} // namespace vorlund
