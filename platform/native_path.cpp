#include "platform/native_path.h"

#include <QDir>
#include <QFile>

namespace vorlund {

std::filesystem::path toFsPath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

std::string toFsName(const QString& name)
{
#ifdef Q_OS_WIN
    return name.toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

QString fromFsName(const std::string& name)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(name);
#else
    return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}

QString joinPath(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

} // namespace vorlund
