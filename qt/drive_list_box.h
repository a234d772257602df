#pragma once

#include <QComboBox>

namespace vorlund {

// The drives to choose from: drive letters ("C:\") on Windows, the mounted volumes' root paths
// elsewhere.
class DriveListBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveListBox(QWidget* parent = nullptr);

    QString Drive() const { return currentText(); }
    // Selects `drive`; raises DeviceUnavailable and changes nothing when it is not present.
    // Raises Change, before returning, when the selection changes.
    void setDrive(const QString& drive);

signals:
    void Change();
};

// The drives present now, sorted, with the one holding `folder` among them.
QStringList presentDrives();
QString driveOf(const QString& folder);

} // namespace vorlund
