#pragma once

#include "services/settings_store.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/layout.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QTimer;

namespace vorlund::qt {

class DirListBox;
class DriveListBox;
class InputLock;
class TextBox;

// Form1 drawn with Qt's widgets.
class Form1Widget : public QWidget, public FormView
{
public:
    explicit Form1Widget(SettingsStore& settings, QWidget* parent = nullptr);
    ~Form1Widget() override;

    // Runs Form_Load, then lets Timer1 tick.
    void load();

    void setCaption(const std::string& caption) override;
    void lockSelections(bool locked) override;
    void showFailures(const std::string& line, const std::string& details) override;
    void showProgress(const std::string& text) override;
    void post(std::function<void()> task) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void placeControls(const Twips& twips);
    std::array<QWidget*, 9> controls() const;
    int textWidthWithFrame(Control control, const QString& text) const;

    std::array<QLabel*, 2> Label1{};
    DriveListBox* Drive1 = nullptr;
    DriveListBox* Drive2 = nullptr;
    DirListBox* Dir1 = nullptr;
    DirListBox* Dir2 = nullptr;
    TextBox* Text1 = nullptr;
    TextBox* Text2 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* m_failureLine = nullptr;
    QLabel* m_progressLine = nullptr;
    InputLock* m_selectionLock = nullptr;
    std::unique_ptr<Form1> m_form;
};

} // namespace vorlund::qt
