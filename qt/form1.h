#pragma once

#include "qt/caption_clock.h"
#include "window/failure_report.h"
#include "engine/file_mover.h"
#include "engine/move_worker.h"
#include "qt/settings_store.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QTimer;

namespace vorlund {

class DirListBox;
class DriveListBox;
class FileListBox;
class InputLock;
class TextBox;

// The download client that the program starts when its window is not open.
struct Client
{
    QString title = QStringLiteral("Kazaa Lite");
    QString path = QStringLiteral("C:\\Program Files\\KaZaA Lite\\klrun.exe");
};

// What the window takes from outside; tests replace each with their own.
struct Form1Services
{
    Clock clock = systemClock();
    FileOps* fileOps = &systemFileOps();
    SettingsStore* settings = &userSettings();
    Client client;
};

// The program's one window. Its controls are the program's state: Dir1 is the download folder,
// Dir2 the destination folder.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Form1Services services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    void Form_Load();
    void Timer1_Timer();
    void Dir1_Change();
    void Dir2_Change();
    void Drive1_Change();
    void Drive2_Change();

signals:
    // A pass ended, its moves included.
    void passFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void wireEvents();
    void moveListedFile(const std::filesystem::path& download,
                        const std::filesystem::path& destination);
    void holdMovesIfAStoredFolderIsGone(const QString& storedDir1, const QString& storedDir2);
    void startMoves();
    void finishMoves();
    void endPass();
    void showProgress(const std::filesystem::path& file, std::uintmax_t copied,
                      std::uintmax_t total);
    QString GetSetting(const QString& key, const QString& defaultValue);
    void SaveSetting(const QString& key, const QString& value);
    // An error that no trap catches ends the handler, is reported, and the program goes on.
    void runUntrapped(const std::function<void()>& handler);
    // A selection's failure lasts until the user's next selection.
    void runSelectionHandler(const std::function<void()>& handler);
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
    TextBox* Text1 = nullptr;
    TextBox* Text2 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* m_failureLine = nullptr;
    QLabel* m_progressLine = nullptr;
    InputLock* m_selectionLock = nullptr;

    QString ClientTitle;
    QString ClientPath;

    Form1Services m_services;
    FileMover m_mover;
    MoveWorker m_worker;
    bool m_movesStarted = false;
    FailureReport m_passFailures;
    std::string m_selectionFailure;
    bool m_movesHeld = false;
};

} // namespace vorlund
