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

} // namespace vorlund::qt
