#include "qt/drive_list_box.h"
#include "engine/runtime_error.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace vorlund {

class DriveListBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void listsThePresentDrivesAndStartsOnTheWorkingFolders()
    {
        DriveListBox list;
        QVERIFY(list.count() >= 1);
        QCOMPARE(list.count(), presentDrives().size());
        QCOMPARE(list.Drive(), driveOf(QDir::currentPath()));
        QVERIFY2(QDir(list.Drive()).exists(), qPrintable(list.Drive()));
    }

    void selectingAnotherDriveRaisesChangeOnceAndTheSameDriveNone()
    {
        DriveListBox list;
        list.addItem(QDir::toNativeSeparators(QDir::tempPath()));
        const QString start = list.Drive();
        QSignalSpy changes(&list, &DriveListBox::Change);

        list.setDrive(start);
        QCOMPARE(changes.count(), 0);
        list.setDrive(QDir::toNativeSeparators(QDir::tempPath()));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(list.Drive(), QDir::toNativeSeparators(QDir::tempPath()));
    }

    void aDriveThatIsNotPresentRaisesAndChangesNothing()
    {
        DriveListBox list;
        const QString start = list.Drive();
        QSignalSpy changes(&list, &DriveListBox::Change);

        for (const QString& absent : {QStringLiteral("Q:\\no-such-drive"), QString()}) {
            try {
                list.setDrive(absent);
                QFAIL("no error raised");
            } catch (const RuntimeError& error) {
                QCOMPARE(error.number(), ErrorNumber::DeviceUnavailable);
            }
        }
        QCOMPARE(list.Drive(), start);
        QCOMPARE(changes.count(), 0);
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::DriveListBoxTest)
#include "drive_list_box_test.moc"
