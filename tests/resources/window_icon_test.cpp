#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QTest>

namespace vorlund {

// The icons as the system's own readers see them: a broken image shows as a blank or a black
// square, which only a reader notices.
class WindowIconTest : public QObject
{
    Q_OBJECT

private slots:
    // Each image, at each size and depth, see-through at the corners and solid in the middle: the
    // paletted ones through their mask, the true colour ones through their alpha.
    void theWindowIconHoldsNineImagesAtThreeSizes()
    {
        QImageReader reader(QStringLiteral(":/vorlund.ico"));
        QCOMPARE(reader.imageCount(), 9);
        QMap<int, int> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
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

    void theDesktopIconsAreOfTheirFoldersSizes()
    {
        for (const int size : {16, 32, 48}) {
            const QImage image(
                QStringLiteral(VORLUND_RESOURCES_DIR "/icons/hicolor/%1x%1/apps/vorlund.png")
                    .arg(size));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
        }
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::WindowIconTest)
#include "window_icon_test.moc"
