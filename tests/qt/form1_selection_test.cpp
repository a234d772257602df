#include "qt/window_fixture.h"
#include "support/file_system.h"
#include "support/titled_window.h"

#include <fstream>

namespace vorlund {

namespace fs = std::filesystem;
using test::qPath;
using test::Window;
using test::writeFile;

namespace {

// A second drive; it must exist before the drive lists are made.
class ExtraDrive : public test::SmallVolume
{
public:
    ExtraDrive() : SmallVolume(1024) {}
    QString drive() const { return qPath(path()); }
    fs::path operator/(const char* name) const { return path() / name; }
};

// A download client stand-in that notes each start in a file beside it.
fs::path fakeClient(const fs::path& folder)
{
    const fs::path script = folder / "client.sh";
    std::ofstream(script) << "#!/bin/sh\necho started >> '" << (folder / "started").string()
                          << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    return script;
}

int startsNoted(const fs::path& folder)
{
    std::ifstream in(folder / "started");
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    return lines;
}

} // namespace

class Form1SelectionTest : public QObject
{
    Q_OBJECT

private slots:
    void aFirstRunKeepsBothListsOnOneFolderSoNothingMoves()
    {
        Window window;
        writeFile(window.working / "song.mp3", "x");
        window.form().Form_Load();
        window.pass();

        QCOMPARE(window.dir("Dir1")->Path(), qPath(window.working));
        QCOMPARE(window.dir("Dir2")->Path(), qPath(window.working));
        QVERIFY(fs::exists(window.working / "song.mp3"));
        QCOMPARE(window.text("Text2"), QStringLiteral("1 files downloaded and moved"));
        QCOMPARE(window.settings.written, QStringList());
    }

    void startUpRestoresTheStoredFoldersAndTheDownloadListFollows()
    {
        Window window;
        window.settings.store(QStringLiteral("Dir1"), qPath(window.download));
        window.settings.store(QStringLiteral("Dir2"), qPath(window.destination));
        writeFile(window.download / "a.mp3", "x");
        window.form().Form_Load();

        QCOMPARE(window.dir("Dir1")->Path(), qPath(window.download));
        QCOMPARE(window.dir("Dir2")->Path(), qPath(window.destination));
        QCOMPARE(window.fileList("File1")->Path(), qPath(window.download));
        QCOMPARE(window.settings.written, (QStringList{"Dir1", "Dir2"}));
        window.pass();
        QVERIFY(fs::exists(window.destination / "a.mp3"));
    }

    void startUpRestoresADriveOtherThanTheOneShownAtFirst()
    {
        ExtraDrive extra;
        if (!extra.mounted())
            QSKIP("cannot mount a second drive here");
        fs::create_directory(extra / "incoming");
        Window window;
        window.settings.store(QStringLiteral("Drive1"), extra.drive());
        window.settings.store(QStringLiteral("Dir1"), qPath(extra / "incoming"));
        QVERIFY(window.drive("Drive1")->Drive() != extra.drive());
        window.form().Form_Load();

        QCOMPARE(window.drive("Drive1")->Drive(), extra.drive());
        QCOMPARE(window.dir("Dir1")->Path(), qPath(extra / "incoming"));
        QCOMPARE(window.settings.stored(QStringLiteral("Dir1")), qPath(extra / "incoming"));
        // The drive's handler stores the drive's folder first, then the restored folder lands.
        QCOMPARE(window.settings.written, (QStringList{"Dir1", "Drive1", "Dir1"}));
    }

    void storedSelectionsThatNoLongerFitFallBackWithoutACrash()
    {
        Window window;
        window.settings.store(QStringLiteral("Drive1"), QStringLiteral("Q:\\"));
        window.settings.store(QStringLiteral("Dir1"), QString());
        {
            QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vlund"));
            raw.setValue(QStringLiteral("Startup/Drive2"), QStringList{"a", "b"});
            raw.setValue(QStringLiteral("Startup/Dir2"), 42);
        }
        const QString drive = window.drive("Drive1")->Drive();
        window.form().Form_Load();
        window.pass();

        QCOMPARE(window.drive("Drive1")->Drive(), drive);
        QCOMPARE(window.dir("Dir1")->Path(), qPath(window.working));
        QCOMPARE(window.dir("Dir2")->Path(), qPath(window.working));
        QCOMPARE(window.failureLine(), QString());
        QCOMPARE(window.settings.written, QStringList());
    }

    void aStoredFolderThatIsGoneHoldsTheMovesUntilTheUserChooses_data()
    {
        QTest::addColumn<bool>("downloadFolderGone");
        QTest::newRow("download folder") << true;
        QTest::newRow("destination folder") << false;
    }
    void aStoredFolderThatIsGoneHoldsTheMovesUntilTheUserChooses()
    {
        QFETCH(bool, downloadFolderGone);
        Window window;
        const fs::path gone = window.root / "gone";
        window.settings.store(QStringLiteral("Dir1"),
                              qPath(downloadFolderGone ? gone : window.download));
        window.settings.store(QStringLiteral("Dir2"),
                              qPath(downloadFolderGone ? window.destination : gone));
        writeFile(window.working / "not-a-download.mp3", "x");
        writeFile(window.download / "a.mp3", "x");
        window.form().Form_Load();
        window.pass();

        QVERIFY(fs::exists(window.working / "not-a-download.mp3"));
        QVERIFY(fs::exists(window.download / "a.mp3"));
        QVERIFY2(window.failureLine().contains(qPath(gone)), qPrintable(window.failureLine()));

        window.dir(downloadFolderGone ? "Dir1" : "Dir2")
            ->setPath(qPath(downloadFolderGone ? window.download : window.destination));
        window.pass();
        QVERIFY(fs::exists(window.destination / "a.mp3"));
        QVERIFY(fs::exists(window.working / "not-a-download.mp3"));
        QCOMPARE(window.failureLine(), QString());
    }

    void choosingAFolderStoresItAtOnceAndTheDownloadListFollows()
    {
        Window window;
        window.loadedWithFolders();
        fs::create_directory(window.download / "sub");
        window.settings.written.clear();

        window.dir("Dir1")->setPath(qPath(window.download / "sub"));
        QCOMPARE(window.settings.stored(QStringLiteral("Dir1")), qPath(window.download / "sub"));
        QCOMPARE(window.fileList("File1")->Path(), qPath(window.download / "sub"));

        const QString listedBefore = window.fileList("File2")->Path();
        window.dir("Dir2")->setPath(qPath(window.root.path()));
        QCOMPARE(window.settings.stored(QStringLiteral("Dir2")), qPath(window.root.path()));
        QCOMPARE(window.fileList("File2")->Path(), listedBefore);
        window.pass();
        QCOMPARE(window.fileList("File2")->Path(), qPath(window.root.path()));
        QCOMPARE(window.settings.written, (QStringList{"Dir1", "Dir2"}));
    }

    void choosingADriveStoresTheFolderBeforeTheDriveAndTheSameDriveNothing()
    {
        ExtraDrive extra;
        if (!extra.mounted())
            QSKIP("cannot mount a second drive here");
        Window window;
        window.loadedWithFolders();
        window.settings.written.clear();

        window.drive("Drive2")->setDrive(extra.drive());
        QCOMPARE(window.dir("Dir2")->Path(), extra.drive());
        QCOMPARE(window.settings.written, (QStringList{"Dir2", "Drive2"}));

        window.drive("Drive2")->setDrive(extra.drive());
        QCOMPARE(window.settings.written.size(), 2);

        window.drive("Drive1")->setDrive(extra.drive());
        QCOMPARE(window.fileList("File1")->Path(), extra.drive());
        QCOMPARE(window.settings.written, (QStringList{"Dir2", "Drive2", "Dir1", "Drive1"}));
    }

    void anUnwritableStoreLosesNoSelectionButSaysSo()
    {
        Window window;
        window.loadedWithFolders();
        window.settings.written.clear();
        // A folder where the settings file belongs: even root cannot write it.
        fs::remove(window.config / "vlund.conf");
        fs::create_directory(window.config / "vlund.conf");
        fs::create_directory(window.download / "sub");

        window.dir("Dir1")->setPath(qPath(window.download / "sub"));
        QCOMPARE(window.fileList("File1")->Path(), qPath(window.download / "sub"));
        QCOMPARE(window.failureLine(), QString());

        // The drive handler traps nothing, so its failed store is reported.
        window.drive("Drive2")->addItem(qPath(window.root.path()));
        window.drive("Drive2")->setDrive(qPath(window.root.path()));
        QCOMPARE(window.dir("Dir2")->Path(), qPath(window.root.path()));
        QVERIFY2(window.failureLine().contains(QStringLiteral("Drive2")),
                 qPrintable(window.failureLine()));
        QCOMPARE(window.settings.written, QStringList());
    }

    void theClientStartsOnceWhenItsWindowIsAbsent()
    {
        Window window;
        window.client.path = qPath(fakeClient(window.root.path()));
        window.form().Form_Load();
        QTRY_COMPARE(startsNoted(window.root.path()), 1);
    }

    void theClientDoesNotStartWhenItsWindowIsOpen()
    {
        Window window;
        window.client.path = qPath(fakeClient(window.root.path()));
        test::TitledWindow client(window.client.title.toStdString());
        window.form().Form_Load();
        QTest::qWait(300);
        QCOMPARE(startsNoted(window.root.path()), 0);
    }

    void aMissingClientIsPassedOverSilently()
    {
        Window window;
        window.client.path = qPath(window.root / "no-such-client");
        window.loadedWithFolders();
        QCOMPARE(window.failureLine(), QString());

        Window second;
        second.client = Client{};
        second.loadedWithFolders();
        QCOMPARE(second.failureLine(), QString());
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::Form1SelectionTest)
#include "form1_selection_test.moc"
