#include "qt/window_fixture.h"

namespace vorlund {

namespace fs = std::filesystem;
using test::Window;
using test::writeFile;

class Form1PassTest : public QObject
{
    Q_OBJECT

private slots:
    void anEmptyPassWritesTheCaptionAndZeroCounts()
    {
        Window window;
        window.loadedWithFolders();
        window.pass();
        QCOMPARE(window.form().windowTitle(),
                 QStringLiteral("Vorlund ") + dateTimeText(Window::now));
        QCOMPARE(window.text("Text2"), QStringLiteral("0 files downloaded and moved"));
        QCOMPARE(window.text("Text1"), QStringLiteral("0 downloads in progress."));
    }

    void countsAreTakenBeforeThePassMovesAnything()
    {
        Window window;
        window.loadedWithFolders();
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
        window.loadedWithFolders();
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
        window.loadedWithFolders();
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
        window.loadedWithFolders();
        writeFile(window.download / "a.mp3", "x");
        fs::create_directory_symlink(window.download, window.root / "link");
        window.dir("Dir2")->setPath(test::qPath(window.root / "link"));

        window.pass();
        QCOMPARE(window.text("Text2"), QStringLiteral("1 files downloaded and moved"));
        QCOMPARE(test::readFile(window.download / "a.mp3"), std::string("x"));
    }

    void aVanishedDownloadFolderIsReportedAndThePassesGoOn()
    {
        Window window;
        window.loadedWithFolders();
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
        window.loadedWithFolders();
        for (int i = 0; i < 33'000; ++i)
            writeFile(window.download / (std::to_string(i) + ".dat"), "");
        window.pass();
        QCOMPARE(window.text("Text1"), QStringLiteral("33000 downloads in progress."));
    }

    void theTimerRunsThePassEverySecond()
    {
        Window window;
        Form1& form = window.form();
        form.Form_Load();
        form.findChild<QTimer*>(QStringLiteral("Timer1"))->start();
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QTRY_VERIFY_WITH_TIMEOUT(form.windowTitle().startsWith(QStringLiteral("Vorlund ")), 3000);
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::Form1PassTest)
#include "form1_pass_test.moc"
