#include <QIcon>
#include <QImage>
#include <QTest>

namespace vorlund {

// The icon as the window gets it: from the resources that every program linking vorlund_form
// carries, read by Qt's own icon reader.
class WindowIconTest : public QObject
{
    Q_OBJECT

private slots:
    void holdsTheThreeSizes()
    {
        const QIcon icon(QStringLiteral(":/vorlund.ico"));

        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    }

    void isSeeThroughAtTheCornersAndSolidInTheMiddle()
    {
        for (const int size : {16, 32, 48}) {
            const QImage image = QIcon(QStringLiteral(":/vorlund.ico")).pixmap(size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size - 1, size - 1).alpha(), 0);
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        }
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::WindowIconTest)
#include "window_icon_test.moc"
