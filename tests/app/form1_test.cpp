#include "app/form1.h"
#include "platform/dir_list_box.h"
#include "platform/native_path.h"
#include "support/faulty_ops.h"
#include "support/temp_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace vorlund {

namespace fs = std::filesystem;
using test::writeFile;

// One window over a fresh download and destination folder, its timer stopped so that each
// test runs the passes itself.
class Window
{
public:
    Window()
    {
        fs::create_directory(download);
        fs::create_directory(destination);
        form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
        form.Form_Load();
        choose("Dir1", download);
        choose("Dir2", destination);
    }

    void choose(const char* list, const fs::path& folder)
    {
        form.findChild<DirListBox*>(QLatin1String(list))
            ->setPath(QString::fromStdString(folder.string()));
    }
    // A tick of Timer1, taken as the window takes it.
    void pass()
    {
        QVERIFY(QMetaObject::invokeMethod(form.findChild<QTimer*>("Timer1"), "timeout"));
    }
    QString text(const char* box) const
    {
        return form.findChild<QLineEdit*>(QLatin1String(box))->text();
    }
    QString failureLine() const
    {
        return form.findChild<QLabel*>(QStringLiteral("failureLine"))->text();
    }

    static inline const QDateTime now{QDate(2026, 12, 6), QTime(19, 24, 47)};
    test::TempFolder root;
    fs::path download = root / "download";
    fs::path destination = root / "destination";
    test::FaultyOps ops;
    Form1 form{[] { return now; }, ops};
};

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The lists open at the working folder when created; keep that away from the user's.
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
    }

    void anEmptyPassWritesTheCaptionAndZeroCounts()
    {
        Window window;
        window.pass();
        QCOMPARE(window.form.windowTitle(), QStringLiteral("Vorlund ") + dateTimeText(Window::now));
        QCOMPARE(window.text("Text2"), QStringLiteral("0 files downloaded and moved"));
        QCOMPARE(window.text("Text1"), QStringLiteral("0 downloads in progress."));
    }

    void countsAreTakenBeforeThePassMovesAnything()
    {
        Window window;
        for (const char* name : {"one.mp3", "TWO.JPG", "three.zip", "notes.txt"})
            writeFile(window.destination / name, "x");
        for (const char* name : {"a.dat", "b.dat", "a.mp3", "b.txt", ".c.mp3", "song.WMA"})
            writeFile(window.download / name, name);

        window.pass();
        QCOMPARE(window.text("Text2"), QStringLiteral("3 files downloaded and moved"));
        QCOMPARE(window.text("Text1"), QStringLiteral("2 downloads in progress."));
        QVERIFY(fs::exists(window.destination / "a.mp3"));
        QVERIFY(fs::exists(window.destination / "song.WMA"));
        for (const char* stays : {"a.dat", "b.dat", "b.txt", ".c.mp3"})
            QVERIFY2(fs::exists(window.download / stays), stays);

        window.pass();
        QCOMPARE(window.text("Text2"), QStringLiteral("5 files downloaded and moved"));
    }

    void aFileArrivingDuringThePassWaitsForTheNext()
    {
        Window window;
        writeFile(window.download / "first.mp3", "1");
        window.ops.beforeRename = [&](const fs::path&, const fs::path&) {
            writeFile(window.download / "late.mp3", "2");
            window.ops.beforeRename = nullptr;
            return std::error_code();
        };

        window.pass();
        QVERIFY(fs::exists(window.destination / "first.mp3"));
        QVERIFY(fs::exists(window.download / "late.mp3"));

        window.pass();
        QVERIFY(fs::exists(window.destination / "late.mp3"));
    }

    void aFileThatCannotMoveIsReportedWhileItLastsAndHoldsBackNoOther()
    {
        Window window;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            writeFile(window.download / name, name);
        window.ops.beforeRename = [](const fs::path& from, const fs::path&) {
            return from.filename() == "b.mp3" ? std::make_error_code(std::errc::permission_denied)
                                              : std::error_code();
        };

        window.pass();
        QVERIFY(fs::exists(window.destination / "a.mp3"));
        QVERIFY(fs::exists(window.destination / "c.mp3"));
        QVERIFY(fs::exists(window.download / "b.mp3"));
        QVERIFY2(window.failureLine().contains(QStringLiteral("b.mp3")),
                 qPrintable(window.failureLine()));

        window.pass();
        QVERIFY(window.failureLine().contains(QStringLiteral("b.mp3")));

        window.ops.beforeRename = nullptr;
        window.pass();
        QVERIFY(fs::exists(window.destination / "b.mp3"));
        QCOMPARE(window.failureLine(), QString());
    }

    void theSameFolderUnderAnotherSpellingMovesNothing()
    {
        Window window;
        writeFile(window.download / "a.mp3", "x");
        fs::create_directory_symlink(window.download, window.root / "link");
        window.choose("Dir2", window.root / "link");

        window.pass();
        QCOMPARE(window.text("Text2"), QStringLiteral("1 files downloaded and moved"));
        QCOMPARE(test::readFile(window.download / "a.mp3"), std::string("x"));
    }

    void aVanishedDownloadFolderIsReportedAndThePassesGoOn()
    {
        Window window;
        fs::remove(window.download);
        window.pass();
        QVERIFY2(window.failureLine().contains(QStringLiteral("download")),
                 qPrintable(window.failureLine()));

        fs::create_directory(window.download);
        writeFile(window.download / "a.mp3", "x");
        window.pass();
        QVERIFY(fs::exists(window.destination / "a.mp3"));
        QCOMPARE(window.failureLine(), QString());
    }

    void countsBeyondTheRangeOfASixteenBitNumber()
    {
        Window window;
        for (int i = 0; i < 33'000; ++i)
            writeFile(window.download / (std::to_string(i) + ".dat"), "");
        window.pass();
        QCOMPARE(window.text("Text1"), QStringLiteral("33000 downloads in progress."));
    }

    void theTimerRunsThePassEverySecond()
    {
        test::TempFolder root;
        Form1 form([] { return Window::now; });
        form.Form_Load();
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QTRY_VERIFY_WITH_TIMEOUT(form.windowTitle().startsWith(QStringLiteral("Vorlund ")), 3000);
        QCOMPARE(form.findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 1000);
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::Form1Test)
#include "form1_test.moc"
