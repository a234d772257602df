#include "qt/settings_store.h"

#include "engine/runtime_error.h"

#include <QSettings>

namespace vorlund {
namespace {

QSettings storeOf(const QString& application)
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, application);
}

QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString SettingsStore::GetSetting(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue)
{
    const QVariant value = storeOf(application).value(keyPath(section, key));
    // A value someone stored as a list or a number is no path of ours: take the default.
    if (value.typeId() != QMetaType::QString)
        return defaultValue;
    return value.toString();
}

void SettingsStore::SaveSetting(const QString& application, const QString& section,
                                const QString& key, const QString& value)
{
    QSettings store = storeOf(application);
    store.setValue(keyPath(section, key), value);
    store.sync();
    if (store.status() != QSettings::NoError)
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           "cannot store the selection " + key.toStdString() + " in '" +
                               store.fileName().toStdString() + "'");
}

SettingsStore& userSettings()
{
    static SettingsStore store;
    return store;
}

} // namespace vorlund
