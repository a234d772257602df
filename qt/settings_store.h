#pragma once

#include <QString>

namespace vorlund {

// The per-user settings store: QSettings in the system's native format, so the registry under
// HKEY_CURRENT_USER\Software\<application> on Windows and <config folder>/<application>.conf
// elsewhere. Tests derive from it to record or fail writes.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or `defaultValue` when nothing usable is stored.
    virtual QString GetSetting(const QString& application, const QString& section,
                               const QString& key, const QString& defaultValue);
    // Raises PathFileAccessError, keeping the old value, when the store cannot be written.
    virtual void SaveSetting(const QString& application, const QString& section, const QString& key,
                             const QString& value);
};

SettingsStore& userSettings();

} // namespace vorlund
