#include "qt/file_list_box.h"
#include "qt/native_path.h"
#include "engine/runtime_error.h"
#include "support/temp_folder.h"

#include <QTest>

namespace vorlund {

namespace fs = std::filesystem;

class FileListBoxTest : public QObject
{
    Q_OBJECT

private:
    static QString qPath(const fs::path& path) { return QString::fromStdString(path.string()); }
    static QStringList entries(const FileListBox& list)
    {
        QStringList names;
        for (int i = 0; i < list.ListCount(); ++i) {
            const_cast<FileListBox&>(list).setListIndex(i);
            names << list.FileName();
        }
        return names;
    }

private slots:
    void listsMatchingFilesSortedWhateverTheirLetterCase()
    {
        test::TempFolder folder;
        for (const char* name :
             {"b.mp3", "SONG.MP3", "a.Jpg", "c.txt", ".hidden.mp3", "d.mp3.dat", "clip.mpg"})
            test::writeFile(folder / name, "x");
        fs::create_directory(folder / "folder.mp3");

        FileListBox list;
        list.setPattern(QStringLiteral("*.mp3;*.jpg;*.mpg"));
        list.setPath(qPath(folder.path()));

        QCOMPARE(entries(list), (QStringList{"a.Jpg", "b.mp3", "clip.mpg", "SONG.MP3"}));
    }

    void refreshSeesNewFilesAndPathOrPatternChangesReRead()
    {
        test::TempFolder one;
        test::TempFolder two;
        test::writeFile(one / "a.dat", "x");
        test::writeFile(two / "b.dat", "x");
        test::writeFile(two / "c.mp3", "x");
        FileListBox list;
        list.setPattern(QStringLiteral("*.dat"));
        list.setPath(qPath(one.path()));
        QCOMPARE(list.ListCount(), 1);

        test::writeFile(one / "new.dat", "x");
        QCOMPARE(list.ListCount(), 1);
        list.Refresh();
        QCOMPARE(list.ListCount(), 2);

        list.setPath(qPath(two.path()));
        QCOMPARE(entries(list), QStringList{"b.dat"});
        list.setPattern(QStringLiteral("*.mp3;*.dat"));
        QCOMPARE(entries(list), (QStringList{"b.dat", "c.mp3"}));
    }

    void aMissingFolderRaisesAndKeepsTheListAsItWas()
    {
        test::TempFolder folder;
        test::writeFile(folder / "a.mp3", "x");
        FileListBox list;
        list.setPath(qPath(folder.path()));

        try {
            list.setPath(qPath(folder / "missing"));
            QFAIL("no error raised");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::PathNotFound);
        }
        QCOMPARE(list.Path(), qPath(folder.path()));
        QCOMPARE(list.ListCount(), 1);

        fs::remove_all(folder.path());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.Refresh());
    }

    void anIndexOutsideTheListRaises()
    {
        FileListBox list;
        QCOMPARE(list.FileName(), QString());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.fsFileName());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, list.setListIndex(0));
    }

#ifndef Q_OS_WIN
    void givesTheSelectedNameAsTheFileCodeSpellsIt()
    {
        test::TempFolder folder;
        const std::string name = "caf\xe9.mp3"; // Latin-1, not UTF-8
        test::writeFile(folder / name, "x");
        FileListBox list;
        list.setPattern(QStringLiteral("*.mp3"));
        list.setPath(qPath(folder.path()));

        list.setListIndex(0);

        QCOMPARE(list.fsFileName(), name);
        QCOMPARE(toFsName(list.FileName()), name);
    }
#endif
};

} // namespace vorlund

QTEST_MAIN(vorlund::FileListBoxTest)
#include "file_list_box_test.moc"
