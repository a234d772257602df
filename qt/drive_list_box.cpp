#include "qt/drive_list_box.h"

#include "engine/runtime_error.h"
#include "qt/native_path.h"

#include <QDir>
#include <QStorageInfo>

namespace vorlund::qt {
namespace {

// The drives present now, sorted.
QStringList presentDrives()
{
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            drives << QDir::toNativeSeparators(volume.rootPath());
    }
    drives.sort(Qt::CaseInsensitive);
    drives.removeDuplicates();
    return drives;
}

QString driveOf(const QString& folder)
{
    return QDir::toNativeSeparators(QStorageInfo(folder).rootPath());
}

} // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    addItems(presentDrives());
    setCurrentIndex(findText(driveOf(QDir::currentPath())));
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Change.raise(); });
}

std::string DriveListBox::Drive() const
{
    return toFsName(currentText());
}

void DriveListBox::setDrive(const std::string& drive)
{
    const int index = findText(QDir::toNativeSeparators(fromFsName(drive)), Qt::MatchFixedString);
    if (index < 0)
        throw RuntimeError(ErrorNumber::DeviceUnavailable, "drive not present: '" + drive + "'");
    setCurrentIndex(index);
}

} // namespace vorlund::qt
