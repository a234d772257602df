#include "qt/config_file_store.h"

#include "engine/runtime_error.h"
#include "qt/native_path.h"

#include <QSettings>

namespace vorlund::qt {
namespace {

QSettings storeOf(const std::string& application)
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromStdString(application));
}

QString keyPath(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section + '/' + key);
}

} // namespace

std::string ConfigFileStore::GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultValue)
{
    const QVariant value = storeOf(application).value(keyPath(section, key));
    // A value someone stored as a list or a number is no path of ours: take the default.
    if (value.typeId() != QMetaType::QString)
        return defaultValue;
    return toFsName(value.toString());
}

void ConfigFileStore::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value)
{
    QSettings store = storeOf(application);
    store.setValue(keyPath(section, key), fromFsName(value));
    store.sync();
    if (store.status() != QSettings::NoError)
        throw RuntimeError(ErrorNumber::PathFileAccessError,
                           "cannot store the selection " + key + " in '" +
                               store.fileName().toStdString() + "'");
}

} // namespace vorlund::qt
