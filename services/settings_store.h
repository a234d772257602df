#pragma once

#include <string>

namespace vorlund {

// The per-user settings store, texts by application, section and key: the registry under
// HKEY_CURRENT_USER\Software\<application>\<section> on Windows, <config folder>/<application>.conf
// elsewhere. Tests give a store of their own.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or `defaultValue` when nothing usable is stored.
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // Raises PathFileAccessError, keeping the old value, when the store cannot be written.
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

} // namespace vorlund
