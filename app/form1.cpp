#include "app/form1.h"

#include "platform/dir_list_box.h"
#include "platform/drive_list_box.h"
#include "platform/error_trap.h"
#include "platform/file_list_box.h"
#include "platform/folder_identity.h"
#include "platform/native_path.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <iostream>

namespace vorlund {
namespace {

const QString MediaPattern = QStringLiteral("*.mp3;*.wma;*.mpg;*.zip;*.jpg;*.gif");
const QString PartialPattern = QStringLiteral("*.dat");

// The layout is kept in twips, 15 to a pixel at the standard 96 DPI; Qt's device-independent
// pixels carry the scaling for other resolutions.
constexpr int twips(int value)
{
    return value / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

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

Form1::Form1(Clock clock, FileOps& fileOps, QWidget* parent)
    : QWidget(parent), m_clock(std::move(clock)), m_mover(fileOps)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(twips(5670), twips(3675 + 360));
    createControls();
    wireEvents();
}

void Form1::createControls()
{
    Label1[0] = place<QLabel>(this, "Label1_0", twipsRect(120, 120, 2535, 255));
    Label1[0]->setText(QStringLiteral("Kies download directory"));
    Label1[1] = place<QLabel>(this, "Label1_1", twipsRect(3000, 120, 2895, 255));
    Label1[1]->setText(QStringLiteral("Kies bestemming voor downloads"));
    Dir1 = place<DirListBox>(this, "Dir1", twipsRect(120, 960, 2535, 2115));
    Drive1 = place<DriveListBox>(this, "Drive1", twipsRect(120, 480, 2535, 315));
    Drive2 = place<DriveListBox>(this, "Drive2", twipsRect(3000, 480, 2535, 315));
    Dir2 = place<DirListBox>(this, "Dir2", twipsRect(3000, 960, 2535, 2115));
    File1 = place<FileListBox>(this, "File1", twipsRect(120, 1560, 2535, 675), false);
    File2 = place<FileListBox>(this, "File2", twipsRect(2880, 2040, 2535, 675), false);
    File3 = place<FileListBox>(this, "File3", twipsRect(120, 2400, 2535, 480), false);
    Text1 = place<QLineEdit>(this, "Text1", twipsRect(120, 3240, 2535, 285));
    Text2 = place<QLineEdit>(this, "Text2", twipsRect(3000, 3240, 2535, 285));
    m_failureLine = place<QLabel>(this, "failureLine", twipsRect(120, 3600, 5430, 330));
    m_failureLine->setStyleSheet(QStringLiteral("color: #b00020"));
    m_failureLine->setTextFormat(Qt::PlainText);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
}

void Form1::wireEvents()
{
    // Each pass is one round of the failure report: what a pass no longer meets has cleared.
    connect(Timer1, &QTimer::timeout, this, [this] {
        m_failures.beginRound();
        runUntrapped([this] { Timer1_Timer(); });
        m_failures.endRound();
        showFailures();
    });
    connect(Dir1, &DirListBox::Change, this, [this] { runUntrapped([this] { Dir1_Change(); }); });
    connect(Drive1, &DriveListBox::Change, this,
            [this] { runUntrapped([this] { Drive1_Change(); }); });
    connect(Drive2, &DriveListBox::Change, this,
            [this] { runUntrapped([this] { Drive2_Change(); }); });
}

void Form1::Form_Load()
{
    File1->setPath(Dir1->Path());
    File1->setPattern(MediaPattern);
    File2->setPattern(MediaPattern);
    File3->setPattern(PartialPattern);
}

void Form1::Timer1_Timer()
{
    setWindowTitle(QStringLiteral("Vorlund ") + dateTimeText(m_clock()));
    File1->Refresh();
    File2->Refresh();
    File3->Refresh();
    File2->setPath(Dir2->Path());
    Text2->setText(QString::number(File2->ListCount()) +
                   QStringLiteral(" files downloaded and moved"));
    File3->setPath(Dir1->Path());
    Text1->setText(QString::number(File3->ListCount()) + QStringLiteral(" downloads in progress."));

    // One folder under two spellings: moving would only shuffle files within it.
    if (!sameDirectory(toFsPath(Dir1->Path()), toFsPath(Dir2->Path()))) {
        m_mover.removeInterruptedCopies(toFsPath(Dir2->Path()));
        for (int i = 0, n = File1->ListCount(); i < n; ++i) {
            File1->setListIndex(i);
            moveListedFile();
        }
    }
}

// A file that cannot be moved stays for the next pass and does not hold back the others.
void Form1::moveListedFile()
{
    const QString destination = joinPath(Dir2->Path(), File1->FileName());
    const QString source = joinPath(Dir1->Path(), File1->FileName());
    trapInto([&] { m_mover.move(toFsPath(source), toFsPath(destination)); },
             [this](const RuntimeError& error) { report(error.description()); });
}

void Form1::Dir1_Change()
{
    File1->setPath(Dir1->Path());
}

void Form1::Drive1_Change()
{
    Dir1->setPath(Drive1->Drive());
    File1->setPath(Dir1->Path());
}

void Form1::Drive2_Change()
{
    Dir2->setPath(Drive2->Drive());
}

void Form1::runUntrapped(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const RuntimeError& error) {
        report(error.description());
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("unexpected failure");
    }
    showFailures();
}

void Form1::report(const std::string& failure)
{
    if (m_failures.note(failure))
        std::cerr << "vorlund: " << failure << std::endl;
}

void Form1::showFailures()
{
    const std::vector<std::string>& failures = m_failures.current();
    QStringList lines;
    for (const std::string& failure : failures)
        lines << QString::fromStdString(failure);
    m_failureLine->setToolTip(lines.join(QLatin1Char('\n')));
    m_failureLine->setText(
        failures.empty() ? QString()
        : failures.size() == 1
            ? lines.first()
            : tr("%1 (and %2 more)").arg(lines.first()).arg(failures.size() - 1));
}

} // namespace vorlund
