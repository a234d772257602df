#pragma once

#include "services/settings_store.h"

namespace vorlund::qt {

// QSettings in the system's native format: <config folder>/<application>.conf.
class ConfigFileStore : public SettingsStore
{
public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
};

} // namespace vorlund::qt
