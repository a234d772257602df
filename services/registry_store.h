#pragma once

#include "services/settings_store.h"

namespace vorlund {

// The settings store of Windows: REG_SZ values under
// HKEY_CURRENT_USER\Software\<application>\<section>. Windows only.
class RegistryStore : public SettingsStore
{
public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
};

} // namespace vorlund
