#include "engine/file_time_win32.h"
#include "engine/folder_listing.h"
#include "engine/runtime_error.h"
#include "engine/utf16.h"

#include <algorithm>
#include <cwchar>
#include <functional>
#include <memory>
#include <shlwapi.h>
#include <windows.h>

namespace vorlund {
namespace {

struct CloseFind
{
    void operator()(HANDLE find) const { ::FindClose(find); }
};

void sortIgnoringCase(std::vector<std::wstring>& names)
{
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const int order = ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                 static_cast<int>(b.size()), TRUE);
        return order == CSTR_LESS_THAN || (order == CSTR_EQUAL && a < b);
    });
}

// The entries of `folder` that `wanted` picks by name and that are folders, or else files; hidden
// ones left out.
Listing readEntries(const std::filesystem::path& folder, bool folders,
                    const std::function<bool(const wchar_t*)>& wanted)
{
    WIN32_FIND_DATAW found{};
    const std::unique_ptr<void, CloseFind> find(
        ::FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND || !folderState(folder))
            throw RuntimeError(
                ErrorNumber::PathNotFound,
                "cannot read the folder '" + displayPath(folder) + "': " +
                    std::error_code(static_cast<int>(error), std::system_category()).message());
        return {};
    }
    Listing listing;
    std::vector<std::wstring> names;
    do {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != folders || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) ||
            std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0 ||
            !wanted(found.cFileName))
            continue;
        listing.sawLinks |= (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        names.emplace_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));

    sortIgnoringCase(names);
    for (const std::wstring& name : names)
        listing.names.push_back(toUtf8(name));
    return listing;
}

} // namespace

std::optional<FolderState> folderState(const std::filesystem::path& folder)
{
    const HANDLE handle =
        ::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION identity{};
    FILE_BASIC_INFO times{};
    const bool ok = ::GetFileInformationByHandle(handle, &identity) &&
                    ::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times) &&
                    (identity.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(handle);
    if (!ok)
        return std::nullopt;
    return FolderState{identity.dwVolumeSerialNumber,
                       (std::uint64_t{identity.nFileIndexHigh} << 32) | identity.nFileIndexLow,
                       unixNanoseconds(times.LastWriteTime), unixNanoseconds(times.ChangeTime)};
}

Listing listMatchingFiles(const std::filesystem::path& folder,
                          const std::vector<std::string>& patterns)
{
    std::vector<std::wstring> widePatterns;
    for (const std::string& pattern : patterns)
        widePatterns.push_back(toUtf16(pattern));
    // PathMatchSpecW compares without regard to letter case, as Windows names do.
    return readEntries(folder, false, [&widePatterns](const wchar_t* name) {
        return std::any_of(widePatterns.begin(), widePatterns.end(),
                           [name](const std::wstring& pattern) {
                               return ::PathMatchSpecW(name, pattern.c_str());
                           });
    });
}

std::vector<std::string> listSubfolders(const std::filesystem::path& folder)
{
    return readEntries(folder, true, [](const wchar_t*) { return true; }).names;
}

} // namespace vorlund
