#include "qt/input_lock.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>

namespace vorlund::qt {

// A window with a list to lock and a text box beside it, the list holding the focus.
struct LockedWindow
{
    LockedWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        list = new QListWidget;
        list->addItems({"one", "two", "three"});
        layout->addWidget(list);
        layout->addWidget(new QLineEdit);
        window.show();
        list->setFocus();
        list->setCurrentRow(0);
    }
    QWidget window;
    QListWidget* list = nullptr;
};

class InputLockTest : public QObject
{
    Q_OBJECT

private slots:
    void aLockDropsTheUsersInputAtOnceAndAShortOneShowsNothing()
    {
        LockedWindow window;
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        InputLock lock({window.list}, std::chrono::seconds(60));

        lock.lock();
        QTest::keyClick(window.list, Qt::Key_Down);
        QTest::mouseClick(window.list->viewport(), Qt::LeftButton, {},
                          window.list->visualItemRect(window.list->item(2)).center());
        QCOMPARE(window.list->currentRow(), 0);
        QVERIFY(window.list->isEnabled());
        QVERIFY(window.list->hasFocus());

        lock.unlock();
        QTest::keyClick(window.list, Qt::Key_Down);
        QCOMPARE(window.list->currentRow(), 1);
    }

    void aLongLockGreysOutAndGivesTheFocusBack()
    {
        LockedWindow window;
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        InputLock lock({window.list}, std::chrono::milliseconds(20));

        lock.lock();
        QTRY_VERIFY(!window.list->isEnabled());
        QVERIFY(!window.list->hasFocus());

        lock.unlock();
        QVERIFY(window.list->isEnabled());
        QVERIFY(window.list->hasFocus());
    }
};

} // namespace vorlund::qt

QTEST_MAIN(vorlund::qt::InputLockTest)
#include "input_lock_test.moc"
