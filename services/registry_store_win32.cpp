#include "engine/runtime_error.h"
#include "engine/utf16_win32.h"
#include "services/registry_store.h"

#include <system_error>
#include <windows.h>

namespace vorlund {
namespace {

std::wstring keyPath(const std::string& application, const std::string& section)
{
    return toUtf16("Software\\" + application + "\\" + section);
}

} // namespace

std::string RegistryStore::GetSetting(const std::string& application, const std::string& section,
                                      const std::string& key, const std::string& defaultValue)
{
    const std::wstring path = keyPath(application, section);
    const std::wstring name = toUtf16(key);
    // Only a REG_SZ is a text of ours; a value of another type, someone else's, is taken as absent.
    for (;;) {
        DWORD bytes = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                           nullptr, &bytes) != ERROR_SUCCESS)
            return defaultValue;
        std::wstring value(bytes / sizeof(wchar_t), L'\0');
        const LSTATUS read = ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                            RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
        // A value that grew between the two reads is read again.
        if (read == ERROR_MORE_DATA)
            continue;
        if (read != ERROR_SUCCESS)
            return defaultValue;
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return toUtf8(value);
    }
}

void RegistryStore::SaveSetting(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& value)
{
    const std::wstring path = keyPath(application, section);
    const std::wstring text = toUtf16(value);
    HKEY opened = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(opened, toUtf16(key).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(opened);
    }
    if (status != ERROR_SUCCESS)
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           "cannot store the selection " + key + " in 'HKEY_CURRENT_USER\\" +
                               toUtf8(path) +
                               "': " + std::error_code(status, std::system_category()).message());
}

} // namespace vorlund
