#include "engine/runtime_error.h"
#include "qt/dir_list_box.h"
#include "qt/drive_list_box.h"
#include "qt/form1_widget.h"
#include "support/plain_controls.h"
#include "support/temp_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionFrame>
#include <QTest>

namespace vorlund::qt {

namespace fs = std::filesystem;

class Form1WidgetTest : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the desktop's font, no fixed text is cut off: a count of five digits included.
    void everyFixedTextShowsInFull()
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
    }

    void theListsRaiseChangeWhenTheUserOpensAFolderOrPicksADrive()
    {
        test::TempFolder folder;
        fs::create_directories(folder / "music" / "Singles");
        fs::create_directory(folder / "music" / "albums");
        DirListBox list;
        int changes = 0;
        list.Change.connect([&] { ++changes; });
        list.setPath((folder / "music").string());
        QCOMPARE(list.currentItem()->text().trimmed(), QStringLiteral("music"));
        list.setCurrentRow(list.count() - 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.Path(), folder / "music" / "Singles");
        QCOMPARE(changes, 2);

        DriveListBox drives;
        drives.Change.connect([&] { ++changes; });
        drives.addItem(QString::fromStdString(folder.path().string()));
        drives.setDrive(drives.Drive());
        QCOMPARE(changes, 2);
        drives.setDrive(folder.path().string());
        QCOMPARE(changes, 3);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, drives.setDrive("Q:\\"));
        QCOMPARE(drives.Drive(), folder.path().string());
    }
};

} // namespace vorlund::qt

QTEST_MAIN(vorlund::qt::Form1WidgetTest)
#include "form1_widget_test.moc"
