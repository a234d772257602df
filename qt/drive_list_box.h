#pragma once

#include "window/controls.h"

#include <QComboBox>

namespace vorlund::qt {

// The mounted volumes' root paths to choose from.
class DriveListBox : public QComboBox, public vorlund::DriveListBox
{
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    std::string Drive() const override;
    void setDrive(const std::string& drive) override;
};

// The drives present now, sorted, with the one holding `folder` among them.
QStringList presentDrives();
QString driveOf(const QString& folder);

} // namespace vorlund::qt
