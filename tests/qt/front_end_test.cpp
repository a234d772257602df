#include "engine/runtime_error.h"
#include "qt/config_file_store.h"
#include "qt/drive_list_box.h"
#include "qt/form1_widget.h"
#include "qt/input_lock.h"
#include "support/file_system.h"
#include "support/plain_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QStyleOptionFrame>
#include <QTest>

namespace vorlund::qt {

namespace fs = std::filesystem;

class FrontEndTest : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the desktop's font, no fixed text is cut off (a count of five digits included), and
    // a long failure line gives up its middle, keeping what failed and why.
    void everyFixedTextShowsInFullAndALongFailureItsEnds()
    {
        test::MemorySettings settings;
        Form1Widget form(settings);
        const auto labels = form.findChildren<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(labels.size(), 2);
        for (const QLabel* label : labels)
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                         label->contentsRect().width(),
                     qPrintable(label->text()));
        for (const auto& [box, text] : {std::pair{"Text1", "32767 downloads in progress."},
                                        std::pair{"Text2", "32767 files downloaded and moved"}}) {
            auto* edit = form.findChild<QLineEdit*>(QLatin1String(box));
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            const int room =
                edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width();
            QVERIFY2(edit->fontMetrics().horizontalAdvance(QLatin1String(text)) + 4 <= room, text);
        }
        const std::string failure = "cannot move '/" + std::string(400, 'x') + "': Disk full";
        form.showFailures(failure, failure);
        const QString shown = form.findChild<QLabel*>(QStringLiteral("failureLine"))->text();
        QVERIFY2(shown.startsWith("cannot move '/") && shown.endsWith("': Disk full") &&
                     shown.contains(QChar(0x2026)),
                 qPrintable(shown));
    }

    void theDriveListRaisesChangeWhenTheUserPicksAnotherDrive()
    {
        test::TempFolder folder;
        DriveListBox drives;
        int changes = 0;
        drives.Change.connect([&] { ++changes; });
        drives.addItem(QString::fromStdString(folder.path().string()));
        drives.setDrive(drives.Drive());
        QCOMPARE(changes, 0);
        drives.setDrive(folder.path().string());
        QCOMPARE(changes, 1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, drives.setDrive("Q:\\"));
        QCOMPARE(drives.Drive(), folder.path().string());
    }

    // During a pass clicks and keys are dropped; a long one greys out, and gives the focus back.
    void aLockDropsTheUsersInputAndALongOneGreysOut()
    {
        QWidget window;
        auto* list = new QListWidget(&window);
        list->addItems({"one", "two", "three"});
        (new QLineEdit(&window))->move(0, list->height()); // where the focus can go
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
        list->setCurrentRow(0);
        for (const bool greys : {false, true}) {
            InputLock lock({list}, std::chrono::milliseconds(greys ? 20 : 60'000));
            lock.lock();
            QTRY_COMPARE(list->isEnabled(), !greys);
            QCOMPARE(list->hasFocus(), !greys);
            QTest::keyClick(list, Qt::Key_Down);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(2)).center());
            QCOMPARE(list->currentRow(), 0);
            lock.unlock();
            QVERIFY(list->isEnabled() && list->hasFocus());
        }
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 1);
    }

    void theStoreKeepsEachTextAsGivenUnderStartupAndSaysWhenItCannot()
    {
        test::TempFolder config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config.path().string()));
        ConfigFileStore store;
        const auto get = [&](const char* key) {
            return store.GetSetting("vlund", "Startup", key, "<default>");
        };
        // Texts that QSettings would read back as lists or variants unless kept as text.
        for (const std::string value : {"C:\\", "a, b", "  spaced  ", "Bj\xc3\xb6rk/\xe6\x97\xa5",
                                        "caf\xe9", "@Variant(x)", "", "/home/user/Downloads"}) {
            store.SaveSetting("vlund", "Startup", "Dir1", value);
            QCOMPARE(get("Dir1"), value);
        }
        const std::string file = test::readFile(config / "vlund.conf");
        QVERIFY2(file.find("[Startup]\nDir1=/home/user/Downloads\n") != std::string::npos,
                 file.c_str());

        // Edited by hand into a list: no path of ours.
        test::writeFile(config / "vlund.conf", "[Startup]\nDir1=/music, old\n");
        QCOMPARE(get("Dir1"), std::string("<default>"));

        // A folder where the file belongs: no user, root included, can write it.
        fs::remove(config / "vlund.conf");
        fs::create_directory(config / "vlund.conf");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.SaveSetting("vlund", "Startup", "Dir1", "/x"));
    }
};

} // namespace vorlund::qt

QTEST_MAIN(vorlund::qt::FrontEndTest)
#include "front_end_test.moc"
