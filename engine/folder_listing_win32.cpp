#include "engine/file_time_win32.h"
#include "engine/folder_handle_win32.h"
#include "engine/folder_listing.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "engine/system_path.h"
#include "engine/utf16_win32.h"

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

bool isListed(DWORD attributes, bool folders)
{
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return isFolder == folders && !(attributes & FILE_ATTRIBUTE_HIDDEN);
}

RuntimeError cannotRead(const std::filesystem::path& folder, int number, const char* how,
                        DWORD error)
{
    return RuntimeError(
        number, "cannot read the folder '" + pathText(folder) + "'" + how + ": " +
                    std::error_code(static_cast<int>(error), std::system_category()).message());
}

// Calls `visit` with each entry of `folder` but "." and "..".
void visitEntries(const std::filesystem::path& folder,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit)
{
    WIN32_FIND_DATAW found{};
    const std::unique_ptr<void, CloseFind> find(
        ::FindFirstFileExW(systemPath(folder / L"*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND || !folderState(folder))
            throw cannotRead(folder, ErrorNumber::PathNotFound, "", error);
        return;
    }
    do {
        if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0)
            visit(found);
    } while (::FindNextFileW(find.get(), &found));
    // A share that drops, a disk that fails: a short list would read as files gone.
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES)
        throw cannotRead(folder, ErrorNumber::DeviceIoError, " to its end", error);
}

std::vector<std::string> sortedUtf8(std::vector<std::wstring>& names)
{
    sortIgnoringCase(names);
    std::vector<std::string> sorted;
    for (const std::wstring& name : names)
        sorted.push_back(toUtf8(name));
    return sorted;
}

// PathMatchSpecW compares without regard to letter case, as Windows names do.
std::function<bool(const wchar_t*)> matcherOf(const std::vector<std::string>& patterns)
{
    std::vector<std::wstring> widePatterns;
    for (const std::string& pattern : patterns)
        widePatterns.push_back(toUtf16(pattern));
    return [widePatterns = std::move(widePatterns)](const wchar_t* name) {
        return std::any_of(widePatterns.begin(), widePatterns.end(),
                           [name](const std::wstring& pattern) {
                               return ::PathMatchSpecW(name, pattern.c_str());
                           });
    };
}

} // namespace

std::optional<FolderState> folderState(const std::filesystem::path& folder)
{
    const HANDLE handle = openFolderToAsk(folder);
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

FolderEntries::FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::wstring> subfolders;
    visitEntries(folder, [&](const WIN32_FIND_DATAW& found) {
        if (isListed(found.dwFileAttributes, true))
            subfolders.emplace_back(found.cFileName);
        if (!isListed(found.dwFileAttributes, false))
            return;
        m_files += (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? linkToFile : file;
        m_files.append(found.cFileName).push_back(L'\0');
        ++m_fileCount;
    });
    m_subfolders = sortedUtf8(subfolders);
}

Listing FolderEntries::matchingFiles(const std::vector<std::string>& patterns) const
{
    std::vector<std::wstring> names;
    const bool sawLinks = visitFiles(matcherOf(patterns),
                                     [&names](const wchar_t* name) { names.emplace_back(name); });
    return {sortedUtf8(names), sawLinks};
}

bool FolderEntries::visitMatchingFiles(const std::vector<std::string>& patterns,
                                       const std::function<void(std::string_view)>& visit) const
{
    return visitFiles(matcherOf(patterns), [&visit](const wchar_t* name) { visit(toUtf8(name)); });
}

bool listsAsMatchingFile(const std::filesystem::path& folder, const std::string& name,
                         const std::vector<std::string>& patterns)
{
    const std::wstring wide = toUtf16(name);
    const DWORD attributes = ::GetFileAttributesW(systemPath(folder / wide).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && isListed(attributes, false) &&
           matcherOf(patterns)(wide.c_str());
}

std::uint64_t nameKeyHash(std::string_view name)
{
    std::wstring wide = toUtf16(name);
    ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::hash<std::wstring>{}(wide);
}

} // namespace vorlund
