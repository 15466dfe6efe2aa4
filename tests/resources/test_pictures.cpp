// The window's icon and cursor as the program sets them, against the program file's icon and hand.cur.
#include "icon_file.h"
#include "pictures.h"

#include <QPixmap>
#include <QTest>

#include <algorithm>

namespace {

const QString kMade = QStringLiteral(VOSTREL_PICTURES_MADE "/");

// Image index of a made .ico or .cur file, decoded; a null image and a failure message if it is unreadable.
QImage madeImage(const QString& name, int index) {
    QString error;
    const auto file = readIconFile(readWholeFile(kMade + name, &error), &error);
    if (file && index < file->entries.size())
        if (const auto bitmap = readIconBitmap(file->entries[index].data, &error))
            return bitmap->image;
    qWarning("%s: %s", qPrintable(name), qPrintable(error));
    return {};
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void trefoilIconHasTheProgramFilesImages() {
        const QIcon icon = vostrel::trefoilIcon();
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
        QCOMPARE(sizes, (QList<QSize>{{16, 16}, {32, 32}}));
        for (int i : {0, 1}) {
            const QImage fromFile = madeImage("trefoil.ico", i);
            QVERIFY(!fromFile.isNull());
            QVERIFY2(samePixels(icon.pixmap(fromFile.size()).toImage(), fromFile),
                     qPrintable(QString::number(i)));
        }
    }

    void handCursorPointsWithItsFingertip() {
        const QCursor cursor = vostrel::handCursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
        const QImage fromFile = madeImage("hand.cur", 0);
        QVERIFY(!fromFile.isNull());
        QVERIFY(samePixels(cursor.pixmap().toImage(), fromFile));
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
