#include "engine/path_text.h"
#include "qt/native_path.h"

#include <QTest>

namespace vorlund {

class NativePathTest : public QObject
{
    Q_OBJECT

private slots:
    void everyNameComesBackToItsOwnBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("song.mp3");
        QTest::newRow("utf-8") << QByteArray("Bj\xc3\xb6rk \xe2\x80\x93 \xe6\x97\xa5.mp3");
        QTest::newRow("beyond the basic plane") << QByteArray("\xf0\x9f\x8e\xb5.mp3");
        QTest::newRow("latin-1 byte") << QByteArray("caf\xe9.mp3");
        QTest::newRow("cut-off sequence") << QByteArray("a\xe2\x80.mp3");
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf.mp3");
        QTest::newRow("encoded surrogate") << QByteArray("a\xed\xb2\x80.mp3");
        QTest::newRow("lone continuation bytes") << QByteArray("\x80\xbf\xff");
    }
    void everyNameComesBackToItsOwnBytes()
    {
        QFETCH(QByteArray, bytes);
        const std::string name = bytes.toStdString();
        QCOMPARE(toFsName(fromFsName(name)), name);
        const QString path = QStringLiteral("/d/") + fromFsName(name);
        QCOMPARE(toFsPath(path).string(), "/d/" + name);
        QCOMPARE(fromFsPath(toFsPath(path)), path);
        QCOMPARE(joinFsPath("/d", name), toFsPath(path));
    }

    void validNamesReadAsTheirText()
    {
        QCOMPARE(fromFsName("Bj\xc3\xb6rk.mp3"), QStringLiteral(u"Björk.mp3"));
        QCOMPARE(toFsName(QStringLiteral(u"日本.jpg")),
                 std::string("\xe6\x97\xa5\xe6\x9c\xac.jpg"));
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::NativePathTest)
#include "native_path_test.moc"
