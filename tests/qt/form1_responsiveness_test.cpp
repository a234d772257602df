#include "qt/window_fixture.h"

#include <atomic>
#include <thread>

namespace vorlund {

namespace fs = std::filesystem;
using test::Window;
using test::writeFile;

class Form1ResponsivenessTest : public QObject
{
    Q_OBJECT

private slots:
    void aLongCopyLeavesTheWindowWorkingAndShowsHowFarItGot()
    {
        Window window;
        window.loadedWithFolders();
        const std::string contents(48 << 20, 'a');
        writeFile(window.download / "album.zip", contents);
        window.ops.pretendOtherVolume = true;
        window.ops.duringCopy = [](std::uintmax_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        };
        std::atomic<int> startsOfAlbum{0};
        window.ops.beforeRename = [&](const fs::path& from, const fs::path&) {
            if (from.filename() == "album.zip" && from.parent_path() == window.download)
                ++startsOfAlbum;
            return std::error_code();
        };
        QSignalSpy finished(&window.form(), &Form1::passFinished);
        auto* timer = window.control<QTimer>("Timer1");
        window.form().show();
        QVERIFY(QTest::qWaitForWindowActive(&window.form()));

        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QVERIFY(finished.isEmpty());
        auto* progress = window.control<QLabel>("progressLine");
        QTRY_VERIFY(progress->isVisibleTo(&window.form()) &&
                    progress->text().contains(QStringLiteral("%")));
        QVERIFY2(progress->text().contains(QStringLiteral("album.zip")),
                 qPrintable(progress->text()));

        // A long pass greys the lists out.
        for (const char* list : {"Drive1", "Drive2", "Dir1", "Dir2"})
            QTRY_VERIFY2(!window.control<QWidget>(list)->isEnabled(), list);
        // The window still takes input and paints while the copy runs.
        auto* text = window.control<QLineEdit>("Text1");
        QTest::mouseClick(text, Qt::LeftButton);
        QTRY_VERIFY(text->hasFocus());
        QTest::keyClicks(text, QStringLiteral(" typed"));
        QVERIFY2(text->text().contains(QStringLiteral(" typed")), qPrintable(text->text()));
        window.form().repaint();
        // A tick during the copy starts no second pass.
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));

        QVERIFY(finished.wait(30'000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(startsOfAlbum.load(), 1);
        QVERIFY(!progress->isVisibleTo(&window.form()));
        for (const char* list : {"Drive1", "Drive2", "Dir1", "Dir2"})
            QVERIFY2(window.control<QWidget>(list)->isEnabled(), list);
        QCOMPARE(fs::file_size(window.destination / "album.zip"), contents.size());
        QVERIFY(!fs::exists(window.download / "album.zip"));
    }

    void aTickBeforeThePassHasEndedStartsNoOther()
    {
        Window window;
        window.loadedWithFolders();
        writeFile(window.download / "a.mp3", "x");
        QSignalSpy finished(&window.form(), &Form1::passFinished);
        auto* timer = window.control<QTimer>("Timer1");

        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        // The moves are done, but the window has not yet heard: its pass has not ended.
        for (int i = 0; i < 500 && fs::exists(window.download / "a.mp3"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));

        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);
        for (const char* list : {"Drive1", "Drive2", "Dir1", "Dir2"})
            QVERIFY2(window.control<QWidget>(list)->isEnabled(), list);
    }

    void closingTheWindowBreaksOffACopyAndKeepsTheSource()
    {
        Window window;
        window.loadedWithFolders();
        writeFile(window.download / "album.zip", std::string(48 << 20, 'a'));
        window.ops.pretendOtherVolume = true;
        window.ops.duringCopy = [](std::uintmax_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        };
        QVERIFY(QMetaObject::invokeMethod(window.control<QTimer>("Timer1"), "timeout"));
        QTRY_VERIFY(window.control<QLabel>("progressLine")->isVisibleTo(&window.form()));

        window.form().close();

        QCOMPARE(fs::file_size(window.download / "album.zip"), std::uintmax_t{48} << 20);
        QVERIFY2(fs::is_empty(window.destination), "no partial or temporary file left");
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::Form1ResponsivenessTest)
#include "form1_responsiveness_test.moc"
