#include "window_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

using namespace vostrel;

namespace {

constexpr int kTwipsPerPixel = 15; // at 96 dpi
constexpr int kButtonBorder = 2;   // pixels of raised border on each side of a push button face
constexpr int kLeftIndent = 1;     // pixels before the caption of a left-aligned label

enum class Placement { LabelLeft, LabelCentred, LabelRight, Button };

QFont windowFont(qreal points, bool bold, QFont::HintingPreference hinting) {
    QFont font{QString::fromLatin1(kWindowFontFamily)};
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(hinting);
    return font;
}

// The pixels that drawing the text actually covers, relative to the start of its baseline.
// Ink is what clipping cuts off, and QFontMetrics::tightBoundingRect() rounds it outwards.
QRect inkRect(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    const int margin = metrics.height();
    const QPoint origin(margin, margin + metrics.ascent());
    QImage image(metrics.horizontalAdvance(text) + 2 * margin, metrics.height() + 2 * margin,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(origin, text);
    painter.end();

    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                ink |= QRect(x, y, 1, 1);
    return ink.translated(-origin);
}

// Where a caption of this advance starts inside a control of this inner width.
int captionStart(Placement placement, int advance, int innerWidth) {
    switch (placement) {
    case Placement::LabelLeft:
        return kLeftIndent;
    case Placement::LabelRight:
        return innerWidth - advance;
    case Placement::LabelCentred:
    case Placement::Button:
        break;
    }
    return (innerWidth - advance) / 2;
}

} // namespace

class WindowFontTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!QFontDatabase::families().contains(QLatin1String(kWindowFontFamily), Qt::CaseInsensitive),
                 "these checks are about a machine without the window font");
        QVERIFY(installWindowFontSubstitute());
        // Qt keeps substitutes in lower case.
        const QStringList substitutes = QFont::substitutes(QString::fromLatin1(kWindowFontFamily));
        QCOMPARE(substitutes.size(), 1);
        QCOMPARE(substitutes.front().compare(QLatin1String(kWindowFontSubstituteFamily), Qt::CaseInsensitive),
                 0);
        // The window names the substitute itself, so Qt never looks for a family that is not there.
        QCOMPARE(windowFontFamily(), QLatin1String(kWindowFontSubstituteFamily));
        // The window's pixel sizes assume 96 dpi, as on the offscreen platform.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
    }

    void requestsResolveToTheSubstitute_data() {
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QString>("style");
        QTest::addColumn<int>("ascent");
        QTest::addColumn<int>("descent");

        QTest::newRow("buttons, region captions, detail fields") << 14.25 << true << 19 << "Bold" << 15 << 6;
        QTest::newRow("button of K") << 14.25 << false << 19 << "Regular" << 15 << 6;
        QTest::newRow("window font") << 15.75 << true << 21 << "Bold" << 17 << 7;
        QTest::newRow("title") << 36.0 << true << 48 << "Bold" << 39 << 15;
    }

    void requestsResolveToTheSubstitute() {
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        QFETCH(int, pixels);
        QFETCH(QString, style);
        QFETCH(int, ascent);
        QFETCH(int, descent);

        const QFont font = windowFont(points, bold, QFont::PreferDefaultHinting);
        const QFontInfo info(font);
        QCOMPARE(info.family(), QLatin1String(kWindowFontSubstituteFamily));
        // A face of its own, not one that Qt thickens or thins from the other. Windows' font database
        // names no styles; there the weight below tells the faces apart.
        if (QGuiApplication::platformName() != QLatin1String("windows"))
            QCOMPARE(info.styleName(), style);
        QCOMPARE(info.bold(), bold);
        QCOMPARE(info.weight(), bold ? int(QFont::Bold) : int(QFont::Normal));
        QCOMPARE(info.pixelSize(), pixels);

        // Lines as tall as those of a UPC font at the same size, room for Thai marks included.
        const QFontMetrics metrics(font);
        QCOMPARE(metrics.ascent(), ascent);
        QCOMPARE(metrics.descent(), descent);
    }

    void captionFitsItsControl_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Placement>("placement");
        QTest::addColumn<int>("width"); // twips
        QTest::addColumn<int>("height");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");

        const auto L = Placement::LabelLeft;
        const auto C = Placement::LabelCentred;
        const auto R = Placement::LabelRight;
        const auto B = Placement::Button;
        // clang-format off
        QTest::newRow("Label9")  << "ตารางธาตุ"              << C << 3495 << 855 << 36.0  << true;
        QTest::newRow("Label10") << "Lanthanide series"      << R << 1575 << 255 << 14.25 << true;
        QTest::newRow("Label11") << "Actenide"               << R << 1455 << 255 << 14.25 << true;
        QTest::newRow("Label12") << "Transition Element"     << C << 1695 << 255 << 14.25 << true;
        QTest::newRow("Label13") << "Inner transition Metal" << C << 1935 << 255 << 14.25 << true;
        QTest::newRow("Label14") << "โลหะ"                   << L << 1095 << 375 << 15.75 << true;
        QTest::newRow("Label15") << "กึ่งอโลหะ"                << L << 1095 << 375 << 15.75 << true;
        QTest::newRow("Label16") << "อโลหะ"                  << L << 1095 << 375 << 15.75 << true;
        QTest::newRow("Label17") << "ก๊าซเฉื่อย"               << L << 1095 << 375 << 15.75 << true;
        QTest::newRow("Label1")  << "เลขอะตอม"               << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label2")  << "เลขออกซิเดชั่น"           << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label3")  << "ชื่อธาตุ"                  << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label4")  << "จุดเดือด"                 << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label5")  << "จุดหลอมเหลว"             << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label6")  << "จำนวนโปรตรอน"           << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label8")  << "จำนวนอิเล็กตรอน"          << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Label7")  << "หมู่ธาตุ"                  << R << 1695 << 375 << 15.75 << true;
        QTest::newRow("Command113") << "จบการทำงาน"          << B << 11895 << 390 << 15.75 << true;
        // The widest element captions, and K, the one in regular weight.
        QTest::newRow("Command90")  << "**Th" << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command89")  << "Ac**" << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command110") << "Uun"  << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command111") << "Uuu"  << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command112") << "Uub"  << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command57")  << "La*"  << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command58")  << "*Ce"  << B << 495 << 495 << 14.25 << true;
        QTest::newRow("Command19")  << "K"    << B << 495 << 495 << 14.25 << false;
        // clang-format on
    }

    void captionFitsItsControl() {
        QFETCH(QString, caption);
        QFETCH(Placement, placement);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qreal, points);
        QFETCH(bool, bold);

        const int border = placement == Placement::Button ? kButtonBorder : 0;
        const int innerWidth = width / kTwipsPerPixel - 2 * border;
        const int innerHeight = height / kTwipsPerPixel - 2 * border;
        // Full hinting rounds every advance and makes text wider than the default slight hinting.
        for (const auto hinting : {QFont::PreferDefaultHinting, QFont::PreferFullHinting}) {
            const QFont font = windowFont(points, bold, hinting);
            const QFontMetrics metrics(font);
            const int advance = metrics.horizontalAdvance(caption);
            const QRect ink =
                inkRect(font, caption).translated(captionStart(placement, advance, innerWidth), 0);
            const auto where = QStringLiteral("%1 at hinting %2: advance %3, ink %4,%5 %6x%7 in %8x%9 px")
                                   .arg(caption)
                                   .arg(int(hinting))
                                   .arg(advance)
                                   .arg(ink.x())
                                   .arg(ink.y())
                                   .arg(ink.width())
                                   .arg(ink.height())
                                   .arg(innerWidth)
                                   .arg(innerHeight)
                                   .toUtf8();

            // One line: a caption no wider than its control is not wrapped.
            QVERIFY2(advance <= innerWidth - (placement == Placement::LabelLeft ? kLeftIndent : 0),
                     where.constData());
            // No mark overhangs the control's sides.
            QVERIFY2(ink.left() >= 0, where.constData());
            QVERIFY2(ink.right() < innerWidth, where.constData());
            if (placement == Placement::Button) {
                // The caption is centred vertically, so its ink must merely be no taller than the face.
                QVERIFY2(ink.height() <= innerHeight, where.constData());
            } else {
                // Labels draw from their top edge, baseline one ascent down; below the height is cut off.
                QVERIFY2(metrics.ascent() + ink.top() >= 0, where.constData());
                QVERIFY2(metrics.ascent() + ink.bottom() < innerHeight, where.constData());
            }
        }
    }
};

QTEST_MAIN(WindowFontTest)
#include "test_window_font.moc"
