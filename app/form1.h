#pragma once

#include "platform/caption_clock.h"
#include "platform/failure_report.h"
#include "platform/file_mover.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QTimer;

namespace vorlund {

class DirListBox;
class DriveListBox;
class FileListBox;

// The program's one window. Its controls are the program's state: Dir1 is the download folder,
// Dir2 the destination folder.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Clock clock = systemClock(), FileOps& fileOps = systemFileOps(),
                   QWidget* parent = nullptr);

    void Form_Load();
    void Timer1_Timer();
    void Dir1_Change();
    void Drive1_Change();
    void Drive2_Change();

private:
    void createControls();
    void wireEvents();
    void moveListedFile();
    // An error that no trap catches ends the handler, is reported, and the program goes on.
    void runUntrapped(const std::function<void()>& handler);
    void report(const std::string& failure);
    void showFailures();

    std::array<QLabel*, 2> Label1{};
    DriveListBox* Drive1 = nullptr;
    DriveListBox* Drive2 = nullptr;
    DirListBox* Dir1 = nullptr;
    DirListBox* Dir2 = nullptr;
    FileListBox* File1 = nullptr;
    FileListBox* File2 = nullptr;
    FileListBox* File3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* m_failureLine = nullptr;

    Clock m_clock;
    FileMover m_mover;
    FailureReport m_failures;
};

} // namespace vorlund
