#include "qt/window_fixture.h"

#include <QAbstractButton>
#include <QMenuBar>

namespace vorlund {

using test::Window;

class Form1LayoutTest : public QObject
{
    Q_OBJECT

private:
    static QRect inPixels(const QWidget& form, int left, int top, int width, int height)
    {
        const auto px = [&](int twips) { return (twips * form.logicalDpiX() + 720) / 1440; };
        return {px(left), px(top), px(width), px(height)};
    }

private slots:
    void everyControlSitsWhereTheLayoutPutsIt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("visible");
        QTest::newRow("Dir1") << "Dir1" << QRect(120, 960, 2535, 2115) << true;
        QTest::newRow("Drive1") << "Drive1" << QRect(120, 480, 2535, 315) << true;
        QTest::newRow("Drive2") << "Drive2" << QRect(3000, 480, 2535, 315) << true;
        QTest::newRow("Dir2") << "Dir2" << QRect(3000, 960, 2535, 2115) << true;
        QTest::newRow("File1") << "File1" << QRect(120, 1560, 2535, 675) << false;
        QTest::newRow("File2") << "File2" << QRect(2880, 2040, 2535, 675) << false;
        QTest::newRow("File3") << "File3" << QRect(120, 2400, 2535, 480) << false;
        QTest::newRow("Text1") << "Text1" << QRect(120, 3240, 2535, 285) << true;
        QTest::newRow("Text2") << "Text2" << QRect(3000, 3240, 2535, 285) << true;
    }
    void everyControlSitsWhereTheLayoutPutsIt()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(bool, visible);
        Window window;
        Form1& form = window.loadedWithFolders();
        form.show();
        auto* control = form.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(),
                 inPixels(form, twips.x(), twips.y(), twips.width(), twips.height()));
        QCOMPARE(control->isVisible(), visible);
    }

    void theCaptionsAndTheFirstTitleReadAsWritten()
    {
        Window window;
        Form1& form = window.form();
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        const QList<QLabel*> labels = form.findChildren<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(labels.size(), 2);
        for (const QLabel* label : labels) {
            const int index = label->property("Index").toInt();
            QCOMPARE(label->text(), index == 0 ? QStringLiteral("Kies download directory")
                                               : QStringLiteral("Kies bestemming voor downloads"));
            QCOMPARE(label->geometry(), index == 0 ? inPixels(form, 120, 120, 2535, 255)
                                                   : inPixels(form, 3000, 120, 2895, 255));
        }
        QCOMPARE(window.text("Text1"), QString());
        QCOMPARE(window.text("Text2"), QString());
        QCOMPARE(form.findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 1000);
        QVERIFY(form.findChildren<QAbstractButton*>().isEmpty());
        QVERIFY(form.findChildren<QMenuBar*>().isEmpty());
        QVERIFY(!form.windowIcon().isNull());
    }

    void statusTextsShowFromTheirStartInANarrowBox()
    {
        Window window;
        window.loadedWithFolders();
        window.pass();
        window.pass(); // the same texts again
        for (const char* name : {"Text1", "Text2"})
            QCOMPARE(window.control<QLineEdit>(name)->cursorPosition(), 0);
    }

    void tabGoesThroughTheControlsInTheirOrder()
    {
        Window window;
        Form1& form = window.loadedWithFolders();
        const QStringList order{"Dir1",  "Drive1", "Drive2", "Dir2", "File1",
                                "File2", "File3",  "Text1",  "Text2"};
        QStringList seen;
        QWidget* widget = form.findChild<QWidget*>(QStringLiteral("Dir1"));
        while (seen.size() < order.size()) {
            if (order.contains(widget->objectName()))
                seen << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(seen, order);
    }

    void theClientAreaKeepsTheLayoutsSizeAndTheWindowResizes()
    {
        Window window;
        Form1& form = window.form();
        const QRect area = inPixels(form, 0, 0, 5670, 3675);
        QCOMPARE(form.width(), area.width());
        QVERIFY(form.height() >= area.height());
        QVERIFY(form.minimumSize() != form.maximumSize());
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::Form1LayoutTest)
#include "form1_layout_test.moc"
