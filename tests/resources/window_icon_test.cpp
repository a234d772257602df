#include <QIcon>
#include <QImageReader>
#include <QTest>

namespace vorlund {

// The window icon as the system's own reader sees it: a broken image shows as a blank or a
// black square, which only a reader notices.
class WindowIconTest : public QObject
{
    Q_OBJECT

private slots:
    // Each image, at each size and depth, see-through at the corners and solid in the middle: the
    // paletted ones through their mask, the true colour ones through their alpha.
    void theWindowIconHoldsNineImagesAtThreeSizes()
    {
        QImageReader reader(QStringLiteral(":/vorlund.ico"));
        QMap<int, int> sizes;
        for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
            const QImage image = reader.read();
            const int size = image.width();
            ++sizes[size];
            QCOMPARE(image.height(), size);
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size - 1, size - 1).alpha(), 0);
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        }
        QCOMPARE(sizes, (QMap<int, int>{{16, 3}, {32, 3}, {48, 3}}));
        QCOMPARE(QIcon(QStringLiteral(":/vorlund.ico")).availableSizes().size(), 3);
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::WindowIconTest)
#include "window_icon_test.moc"
