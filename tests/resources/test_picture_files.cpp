// The files the build makes from the pixel maps: trefoil.ico, hand.cur, the Windows icon resources and the
// desktop icons, read back with the tests' own reader and compared with the maps as Qt reads them.
#include "icon_file.h"

#include <QTest>

#include <QHash>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The picture in a mirror held beside it. Qt 6.9 renamed mirrored() to flipped() and deprecated the old name.
QImage mirroredLeftToRight(const QImage& image) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 9, 0)
    return image.flipped(Qt::Horizontal);
#else
    return image.mirrored(true, false);
#endif
}

const QString kSource = QStringLiteral(VOSTREL_PICTURES_SOURCE "/");
const QString kMade = QStringLiteral(VOSTREL_PICTURES_MADE "/");

constexpr QRgb kBlack = 0xFF000000, kOlive = 0xFF808000, kYellow = 0xFFFFFF00, kNavy = 0xFF000080,
               kBlue = 0xFF0000FF, kGrey = 0xFF808080, kSilver = 0xFFC0C0C0, kWhite = 0xFFFFFFFF;

IconFile iconFile(const QString& name) {
    QString error;
    const QByteArray bytes = readWholeFile(kMade + name, &error);
    const auto file = readIconFile(bytes, &error);
    if (!file)
        qFatal("%s: %s", qPrintable(name), qPrintable(error));
    return *file;
}

IconBitmap bitmapOf(const IconEntry& entry) {
    QString error;
    const auto bitmap = readIconBitmap(entry.data, &error);
    if (!bitmap)
        qFatal("%s", qPrintable(error));
    return *bitmap;
}

QImage pixelMap(const QString& name) {
    const QImage image(kSource + name);
    if (image.isNull())
        qFatal("%s: Qt cannot read it", qPrintable(name));
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The pixel at angle degrees (counter-clockwise from the right, 90 is up) and the given fraction of the
// radius from the centre.
QRgb pixelAtPolar(const QImage& image, double degrees, double fraction) {
    const double radius = image.width() / 2.0, angle = degrees * std::numbers::pi / 180;
    const double x = radius + fraction * radius * std::cos(angle),
                 y = radius - fraction * radius * std::sin(angle);
    return image.pixel(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

} // namespace

class PictureFilesTest : public QObject {
    Q_OBJECT

private slots:
    void iconHoldsTwoFourBitImages() {
        const IconFile icon = iconFile("trefoil.ico");
        QCOMPARE(icon.type, 1);
        QCOMPARE(icon.entries.size(), 2);
        const int sides[] = {32, 16};
        const qsizetype bytes[] = {744, 296};
        for (int i = 0; i < 2; ++i) {
            const IconEntry& entry = icon.entries[i];
            QCOMPARE(entry.width, sides[i]);
            QCOMPARE(entry.height, sides[i]);
            QCOMPARE(entry.colourCount, 16);
            QCOMPARE(entry.reserved, 0);
            QCOMPARE(entry.planesOrHotX, 1);
            QCOMPARE(entry.bitCountOrHotY, 4);
            QCOMPARE(entry.data.size(), bytes[i]);
        }
    }

    void cursorHoldsOneImageWithItsHotSpot() {
        const IconFile cursor = iconFile("hand.cur");
        QCOMPARE(cursor.type, 2);
        QCOMPARE(cursor.entries.size(), 1);
        const IconEntry& entry = cursor.entries[0];
        QCOMPARE(entry.width, 32);
        QCOMPARE(entry.height, 32);
        QCOMPARE(entry.colourCount, 16);
        QCOMPARE(QPoint(entry.planesOrHotX, entry.bitCountOrHotY), QPoint(12, 1));
        QCOMPARE(entry.data.size(), 744);
        const QImage hand = bitmapOf(entry).image;
        QCOMPARE(qAlpha(hand.pixel(12, 1)), 255); // the fingertip
        for (int x = 0; x < 32; ++x)
            QCOMPARE(qAlpha(hand.pixel(x, 0)), 0); // and nothing above it
    }

    void imagesAreTheirPixelMaps_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("pixelMap");
        QTest::addRow("trefoil 32") << "trefoil.ico" << 0 << "trefoil-32.xpm";
        QTest::addRow("trefoil 16") << "trefoil.ico" << 1 << "trefoil-16.xpm";
        QTest::addRow("hand") << "hand.cur" << 0 << "hand.xpm";
    }

    void imagesAreTheirPixelMaps() {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(QString, pixelMap);
        const IconBitmap bitmap = bitmapOf(iconFile(file).entries[index]);
        const QImage map = ::pixelMap(pixelMap);
        QCOMPARE(bitmap.width, map.width());
        QCOMPARE(bitmap.height, 2 * map.height()); // colour rows and mask rows
        QCOMPARE(int(bitmap.planes), 1);
        QCOMPARE(bitmap.palette, kStandardPalette);
        QCOMPARE(bitmap.maskedNonZeroPixels, 0);
        QVERIFY(samePixels(bitmap.image, map));
    }

    void trefoilIsThreeBladesOnADisc_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<QRgb>>("colours");
        QTest::addRow("32 x 32") << 0 << QList<QRgb>{kBlack, kYellow};
        QTest::addRow("16 x 16") << 1 << QList<QRgb>{kBlack, kYellow, kOlive};
    }

    void trefoilIsThreeBladesOnADisc() {
        QFETCH(int, index);
        QFETCH(QList<QRgb>, colours);
        const QImage trefoil = bitmapOf(iconFile("trefoil.ico").entries[index]).image;
        const double radius = trefoil.width() / 2.0;

        QList<QRgb> used;
        int olive = 0;
        for (int y = 0; y < trefoil.height(); ++y)
            for (int x = 0; x < trefoil.width(); ++x) {
                const QRgb pixel = trefoil.pixel(x, y);
                const double distance = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
                if (distance > radius)
                    QVERIFY2(qAlpha(pixel) == 0, qPrintable(QString("%1,%2 outside the disc").arg(x).arg(y)));
                else if (distance < radius - 1)
                    QVERIFY2(qAlpha(pixel) == 255,
                             qPrintable(QString("%1,%2 inside the disc").arg(x).arg(y)));
                if (qAlpha(pixel) != 0 && !used.contains(pixel))
                    used.append(pixel);
                olive += pixel == kOlive;
            }
        std::sort(used.begin(), used.end());
        std::sort(colours.begin(), colours.end());
        QCOMPARE(used, colours);
        if (colours.contains(kOlive))
            QVERIFY2(olive <= 24, "a few olive pixels soften the edges, no more");

        const int middle = trefoil.width() / 2;
        for (int y : {middle - 1, middle})
            for (int x : {middle - 1, middle})
                QCOMPARE(trefoil.pixel(x, y), kBlack);
        for (double blade : {90.0, 210.0, 330.0}) // one above, two below
            QCOMPARE(pixelAtPolar(trefoil, blade, 0.6), kYellow);
        for (double gap : {270.0, 30.0, 150.0})
            QCOMPARE(pixelAtPolar(trefoil, gap, 0.6), kBlack);
        QCOMPARE(trefoil, mirroredLeftToRight(trefoil)); // like the sign, the same in a mirror
    }

    void handIsWhiteWithACuff() {
        const QImage hand = bitmapOf(iconFile("hand.cur").entries[0]).image;
        QHash<QRgb, int> count;
        int lowestRow = 0;
        for (int y = 0; y < hand.height(); ++y)
            for (int x = 0; x < hand.width(); ++x)
                if (const QRgb pixel = hand.pixel(x, y); qAlpha(pixel) != 0) {
                    ++count[pixel];
                    lowestRow = y;
                }
        const QList<QRgb> expected{kBlack, kGrey, kSilver, kWhite, kNavy, kBlue};
        for (QRgb colour : count.keys())
            QVERIFY2(expected.contains(colour), qPrintable(QString::number(colour, 16)));
        for (QRgb colour : expected)
            QVERIFY(count.value(colour) > 0);
        QVERIFY(count[kWhite] > count[kSilver] && count[kWhite] > count[kBlue]);
        for (int x = 0; x < hand.width(); ++x) {
            const QRgb pixel = hand.pixel(x, lowestRow);
            QVERIFY(qAlpha(pixel) == 0 || pixel == kNavy || pixel == kBlue); // the cuff is the bottom
        }
    }

    void windowsResourcesAreTheIconsPieces() {
        const IconFile icon = iconFile("trefoil.ico");
        QString error;
        const auto group = readIconGroup(readWholeFile(kMade + "icon-group-1.bin", &error), &error);
        QVERIFY2(group, qPrintable(error));
        QCOMPARE(group->size(), 2);
        const int ids[] = {30001, 30002};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(group->at(i).id, ids[i]);
            QCOMPARE(group->at(i).head, icon.entries[i].head);
            QCOMPARE(qsizetype(group->at(i).bytes), icon.entries[i].data.size());
            const QByteArray image = readWholeFile(kMade + QString("icon-%1.bin").arg(ids[i]), &error);
            QVERIFY2(!image.isEmpty(), qPrintable(error));
            QCOMPARE(image, icon.entries[i].data);
        }
    }

    // The larger sizes are the 32 x 32 map enlarged pixel for pixel: software centres want 64 or more.
    void desktopIconsAreThePixelMaps_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("map");
        QTest::addRow("16") << 16 << "trefoil-16.xpm";
        QTest::addRow("32") << 32 << "trefoil-32.xpm";
        QTest::addRow("64") << 64 << "trefoil-32.xpm";
        QTest::addRow("128") << 128 << "trefoil-32.xpm";
        QTest::addRow("256") << 256 << "trefoil-32.xpm";
    }

    void desktopIconsAreThePixelMaps() {
        QFETCH(int, side);
        QFETCH(QString, map);
        const QImage png(kMade + QString("trefoil-%1.png").arg(side), "PNG");
        QVERIFY(!png.isNull());
        QVERIFY(png.hasAlphaChannel());
        const QImage original = pixelMap(map);
        QCOMPARE(png.size(), QSize(side, side));
        QVERIFY(samePixels(png, original.scaled(png.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
};

QTEST_GUILESS_MAIN(PictureFilesTest)
#include "test_picture_files.moc"
