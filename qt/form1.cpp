#include "qt/form1.h"

#include "qt/module1.h"
#include "qt/dir_list_box.h"
#include "qt/drive_list_box.h"
#include "engine/error_trap.h"
#include "qt/file_list_box.h"
#include "engine/folder_identity.h"
#include "qt/input_lock.h"
#include "services/launcher.h"
#include "qt/native_path.h"
#include "qt/text_box.h"

#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <iostream>

namespace vorlund {
namespace {

const QString MediaPattern = QStringLiteral("*.mp3;*.wma;*.mpg;*.zip;*.jpg;*.gif");
const QString PartialPattern = QStringLiteral("*.dat");
const QString SettingsApplication = QStringLiteral("vlund");
const QString SettingsSection = QStringLiteral("Startup");

// The layout is kept in twips, 1440 to the logical inch: 15 to a pixel at the standard 96 DPI.
class Twips
{
public:
    explicit Twips(const QWidget& widget) : m_dpi(widget.logicalDpiX()) {}
    int pixels(int twips) const { return (twips * m_dpi + 720) / 1440; }
    QRect rect(int left, int top, int width, int height) const
    {
        return {pixels(left), pixels(top), pixels(width), pixels(height)};
    }

private:
    int m_dpi;
};

// Room below the layout for the line that reports what cannot be done.
constexpr int failureLineTwips = 360;

template <typename Control>
Control* place(QWidget* parent, const char* name, QRect geometry, bool visible = true)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    control->setVisible(visible);
    return control;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_mover(*m_services.fileOps),
      m_worker(m_mover)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/vorlund.ico")));
    createControls();
    wireEvents();
}

Form1::~Form1()
{
    m_worker.stop();
}

void Form1::createControls()
{
    const Twips twips(*this);
    resize(twips.pixels(5670), twips.pixels(3675 + failureLineTwips));
    Label1[0] = place<QLabel>(this, "Label1", twips.rect(120, 120, 2535, 255));
    Label1[0]->setText(QStringLiteral("Kies download directory"));
    Label1[1] = place<QLabel>(this, "Label1", twips.rect(3000, 120, 2895, 255));
    Label1[1]->setText(QStringLiteral("Kies bestemming voor downloads"));
    for (int index = 0; index < 2; ++index)
        Label1[index]->setProperty("Index", index);
    Dir1 = place<DirListBox>(this, "Dir1", twips.rect(120, 960, 2535, 2115));
    Drive1 = place<DriveListBox>(this, "Drive1", twips.rect(120, 480, 2535, 315));
    Drive2 = place<DriveListBox>(this, "Drive2", twips.rect(3000, 480, 2535, 315));
    Dir2 = place<DirListBox>(this, "Dir2", twips.rect(3000, 960, 2535, 2115));
    File1 = place<FileListBox>(this, "File1", twips.rect(120, 1560, 2535, 675), false);
    File2 = place<FileListBox>(this, "File2", twips.rect(2880, 2040, 2535, 675), false);
    File3 = place<FileListBox>(this, "File3", twips.rect(120, 2400, 2535, 480), false);
    Text1 = place<TextBox>(this, "Text1", twips.rect(120, 3240, 2535, 285));
    Text2 = place<TextBox>(this, "Text2", twips.rect(3000, 3240, 2535, 285));
    m_failureLine =
        place<QLabel>(this, "failureLine", twips.rect(120, 3600, 5430, failureLineTwips - 30));
    m_failureLine->setStyleSheet(QStringLiteral("color: #b00020"));
    m_failureLine->setTextFormat(Qt::PlainText);
    m_progressLine = place<QLabel>(this, "progressLine",
                                   twips.rect(120, 3600, 5430, failureLineTwips - 30), false);
    m_progressLine->setTextFormat(Qt::PlainText);
    m_progressLine->setAutoFillBackground(true);

    // The lists stay still while a pass moves files; a long pass greys them out.
    m_selectionLock =
        new InputLock({Drive1, Drive2, Dir1, Dir2}, std::chrono::milliseconds(300), this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
}

void Form1::wireEvents()
{
    // Each pass is one round of the failure report: what a pass no longer meets has cleared. A
    // pass lasts until the window has heard that its moves ended, and lets the ticks go by till
    // then: passes never overlap.
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (m_selectionLock->locked())
            return;
        m_passFailures.beginRound();
        m_movesStarted = false;
        runUntrapped([this] { Timer1_Timer(); });
        finishMoves();
    });
    connect(Dir1, &DirListBox::Change, this,
            [this] { runSelectionHandler([this] { Dir1_Change(); }); });
    connect(Dir2, &DirListBox::Change, this,
            [this] { runSelectionHandler([this] { Dir2_Change(); }); });
    connect(Drive1, &DriveListBox::Change, this,
            [this] { runSelectionHandler([this] { Drive1_Change(); }); });
    connect(Drive2, &DriveListBox::Change, this,
            [this] { runSelectionHandler([this] { Drive2_Change(); }); });
}

void Form1::Form_Load()
{
    QString storedDir1;
    QString storedDir2;
    resumeNext([&] { storedDir1 = GetSetting(QStringLiteral("Dir1"), QString()); });
    resumeNext([&] { storedDir2 = GetSetting(QStringLiteral("Dir2"), QString()); });
    resumeNext(
        [&] { Drive1->setDrive(GetSetting(QStringLiteral("Drive1"), QStringLiteral("C:\\"))); });
    resumeNext(
        [&] { Drive2->setDrive(GetSetting(QStringLiteral("Drive2"), QStringLiteral("C:\\"))); });
    resumeNext([&] { Dir1->setPath(storedDir1); });
    resumeNext([&] { Dir2->setPath(storedDir2); });
    holdMovesIfAStoredFolderIsGone(storedDir1, storedDir2);
    resumeNext([&] { File1->setPath(Dir1->Path()); });
    resumeNext([&] { File1->setPattern(MediaPattern); });
    resumeNext([&] { File2->setPattern(MediaPattern); });
    resumeNext([&] { File3->setPattern(PartialPattern); });
    ClientTitle = m_services.client.title;
    ClientPath = m_services.client.path;
    resumeNext([&] {
        if (!IsTaskRunning(ClientTitle))
            startProgram(toFsPath(ClientPath), WindowStyle::MinimizedFocus);
    });
}

void Form1::Timer1_Timer()
{
    setWindowTitle(QStringLiteral("Vorlund ") + dateTimeText(m_services.clock()));
    File1->Refresh();
    File2->Refresh();
    File3->Refresh();
    File2->setPath(Dir2->Path());
    Text2->setText(QString::number(File2->ListCount()) +
                   QStringLiteral(" files downloaded and moved"));
    File3->setPath(Dir1->Path());
    Text1->setText(QString::number(File3->ListCount()) + QStringLiteral(" downloads in progress."));

    // One folder under two spellings: moving would only shuffle files within it.
    const std::filesystem::path download = toFsPath(Dir1->Path());
    const std::filesystem::path destination = toFsPath(Dir2->Path());
    if (!m_movesHeld && !sameDirectory(download, destination)) {
        m_mover.removeInterruptedCopies(destination);
        for (int i = 0, n = File1->ListCount(); i < n; ++i) {
            File1->setListIndex(i);
            moveListedFile(download, destination);
        }
    }
}

// The move itself runs off the window's thread, in order with the others; the first ones run
// while the pass still lists the rest.
void Form1::moveListedFile(const std::filesystem::path& download,
                           const std::filesystem::path& destination)
{
    // The name as listed: its round trip through the window's text would cost more than the
    // rename of a small file.
    const std::string& name = File1->fsFileName();
    if (!m_movesStarted)
        startMoves();
    m_worker.add({joinFsPath(download, name), joinFsPath(destination, name)});
}

// The lists stay still while files move, so that a pass keeps the folders it started with. A
// file that cannot be moved stays for the next pass and does not hold back the others.
void Form1::startMoves()
{
    m_movesStarted = true;
    m_selectionLock->lock();
    MoveWorker::Events events;
    events.progress = [this](const MoveJob& job, std::uintmax_t copied, std::uintmax_t total) {
        QMetaObject::invokeMethod(
            this, [=, this, file = job.source] { showProgress(file, copied, total); });
    };
    events.done = [this](std::size_t, const std::optional<RuntimeError>& error) {
        if (error)
            QMetaObject::invokeMethod(this, [this, text = error->description()] { report(text); });
    };
    events.finished = [this] { QMetaObject::invokeMethod(this, [this] { endPass(); }); };
    m_worker.start(std::move(events));
}

void Form1::finishMoves()
{
    if (!m_movesStarted)
        endPass();
    else
        m_worker.close();
}

void Form1::endPass()
{
    m_passFailures.endRound();
    m_progressLine->hide();
    showFailures();
    m_selectionLock->unlock();
    emit passFinished();
}

void Form1::showProgress(const std::filesystem::path& file, std::uintmax_t copied,
                         std::uintmax_t total)
{
    const int percent = total == 0 ? 100 : static_cast<int>(copied * 100 / total);
    m_progressLine->setText(tr("Moving %1: %2 %").arg(fromFsPath(file.filename())).arg(percent));
    m_progressLine->show();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A copy broken off keeps its source; the window need not wait for a long one to end.
    m_worker.stop();
    QWidget::closeEvent(event);
}

void Form1::Dir1_Change()
{
    resumeNext([&] { SaveSetting(QStringLiteral("Dir1"), Dir1->Path()); });
    resumeNext([&] { File1->setPath(Dir1->Path()); });
}

void Form1::Dir2_Change()
{
    resumeNext([&] { SaveSetting(QStringLiteral("Dir2"), Dir2->Path()); });
}

void Form1::Drive1_Change()
{
    Dir1->setPath(Drive1->Drive());
    File1->setPath(Dir1->Path());
    SaveSetting(QStringLiteral("Drive1"), Drive1->Drive());
}

void Form1::Drive2_Change()
{
    Dir2->setPath(Drive2->Drive());
    SaveSetting(QStringLiteral("Drive2"), Drive2->Drive());
}

QString Form1::GetSetting(const QString& key, const QString& defaultValue)
{
    return m_services.settings->GetSetting(SettingsApplication, SettingsSection, key, defaultValue);
}

void Form1::SaveSetting(const QString& key, const QString& value)
{
    m_services.settings->SaveSetting(SettingsApplication, SettingsSection, key, value);
}

void Form1::runUntrapped(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const RuntimeError& error) {
        report(error.description());
    } catch (const std::exception& error) {
        report(error.what());
    }
    showFailures();
}

// A list whose stored folder is gone stays on a folder nobody chose for it: moving files out of
// or into that one (the working folder, often the home folder) would surprise. Nothing moves until
// the user chooses again.
void Form1::holdMovesIfAStoredFolderIsGone(const QString& storedDir1, const QString& storedDir2)
{
    for (const auto& [stored, list] : {std::pair{storedDir1, Dir1}, std::pair{storedDir2, Dir2}}) {
        if (stored.isEmpty() || sameDirectory(toFsPath(stored), toFsPath(list->Path())))
            continue;
        m_movesHeld = true;
        m_selectionFailure = "the folder '" + stored.toStdString() +
                             "' is not there any more: choose the folders to move between";
    }
    showFailures();
}

void Form1::runSelectionHandler(const std::function<void()>& handler)
{
    m_movesHeld = false;
    m_selectionFailure.clear();
    try {
        handler();
    } catch (const RuntimeError& error) {
        m_selectionFailure = error.description();
    } catch (const std::exception& error) {
        m_selectionFailure = error.what();
    }
    if (!m_selectionFailure.empty())
        std::cerr << "vorlund: " << m_selectionFailure << std::endl;
    showFailures();
}

void Form1::report(const std::string& failure)
{
    if (m_passFailures.note(failure))
        std::cerr << "vorlund: " << failure << std::endl;
}

void Form1::showFailures()
{
    QStringList lines;
    if (!m_selectionFailure.empty())
        lines << QString::fromStdString(m_selectionFailure);
    for (const std::string& failure : m_passFailures.current())
        lines << QString::fromStdString(failure);
    m_failureLine->setToolTip(lines.join(QLatin1Char('\n')));
    m_failureLine->setText(lines.isEmpty() ? QString()
                           : lines.size() == 1
                               ? lines.first()
                               : tr("%1 (and %2 more)").arg(lines.first()).arg(lines.size() - 1));
}

} // namespace vorlund
