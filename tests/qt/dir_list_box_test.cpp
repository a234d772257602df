#include "qt/dir_list_box.h"
#include "engine/runtime_error.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace vorlund {

namespace fs = std::filesystem;

class DirListBoxTest : public QObject
{
    Q_OBJECT

private:
    static QString qPath(const fs::path& path)
    {
        return QDir::toNativeSeparators(QString::fromStdString(path.string()));
    }

private slots:
    void movingRaisesChangeBeforeTheAssignmentReturns()
    {
        test::TempFolder folder;
        DirListBox list;
        QString seenInChange;
        connect(&list, &DirListBox::Change, this, [&] { seenInChange = list.Path(); });
        QSignalSpy changes(&list, &DirListBox::Change);

        list.setPath(qPath(folder.path()));
        QCOMPARE(seenInChange, qPath(folder.path()));
        QCOMPARE(changes.count(), 1);

        list.setPath(qPath(folder.path()) + QDir::separator());
        list.setPath(qPath(folder / "."));
        QCOMPARE(changes.count(), 1);
    }

    void aPathThatIsNoFolderRaisesAndStays()
    {
        test::TempFolder folder;
        test::writeFile(folder / "file.mp3", "x");
        DirListBox list;
        list.setPath(qPath(folder.path()));
        QSignalSpy changes(&list, &DirListBox::Change);

        for (const fs::path& bad : {folder / "missing", folder / "file.mp3"}) {
            try {
                list.setPath(qPath(bad));
                QFAIL("no error raised");
            } catch (const RuntimeError& error) {
                QCOMPARE(error.number(), ErrorNumber::PathNotFound);
            }
        }
        QCOMPARE(list.Path(), qPath(folder.path()));
        QCOMPARE(changes.count(), 0);
    }

    void showsTheAncestorsThenTheSubFoldersAndOpensOneByKeyboard()
    {
        test::TempFolder folder;
        fs::create_directories(folder / "music" / "albums");
        fs::create_directory(folder / "music" / "Singles");
        fs::create_directory(folder / "music" / ".hidden");
        DirListBox list;
        list.setPath(qPath(folder / "music"));

        const int count = list.count();
        QVERIFY(count >= 4);
        QCOMPARE(list.item(count - 2)->text().trimmed(), QStringLiteral("albums"));
        QCOMPARE(list.item(count - 1)->text().trimmed(), QStringLiteral("Singles"));
        QCOMPARE(list.item(count - 3)->text().trimmed(), QStringLiteral("music"));
        QCOMPARE(list.currentRow(), count - 3);

        QSignalSpy changes(&list, &DirListBox::Change);
        list.setCurrentRow(count - 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(list.Path(), qPath(folder / "music" / "Singles"));

        list.setCurrentRow(list.currentRow() - 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.Path(), qPath(folder / "music"));
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::DirListBoxTest)
#include "dir_list_box_test.moc"
