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

QString joinPath(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

} // namespace vorlund
