#pragma once

#include "window/controls.h"

#include <QListWidget>

namespace vorlund::qt {

// A classic folder list: the open folder's ancestors from the root down, then its sub-folders.
// Double-click or Enter opens a folder, Backspace its parent.
class DirListBox : public QListWidget, public vorlund::DirListBox
{
public:
    explicit DirListBox(QWidget* parent = nullptr);

    std::filesystem::path Path() const override { return m_path; }
    void setPath(const std::string& path) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void open(const std::string& folder);

    std::filesystem::path m_path;
};

} // namespace vorlund::qt
