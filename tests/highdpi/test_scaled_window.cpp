// The window drawn at the scale factor CTest sets in QT_SCALE_FACTOR (1, 1.25, 1.5 or 2): the layout in
// proportion, colours as at 1, lines solid on whole device pixels, every caption whole in its control,
// every control where the tables put it to the device pixel, and text grown with the window; and every
// pixel of it as in the reference picture kept for that scale, on the Qt version that drew the picture.
// Another Qt rounds and blends the edges of fractional scales its own way: there the structural checks
// stand alone.
#include "control_builders.h"
#include "detail_panel_table.h"
#include "element_grid_table.h"
#include "main_window_tables.h"
#include "twips.h"
#include "window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace vostrel;

namespace {

qreal requestedScale() {
    bool ok = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1.0;
}

const QColor kGround = QColor::fromRgb(vostrel::kNavy), kLineColour = QColor::fromRgb(vostrel::kYellow);

// The device pixel under a point of the layout (in the window's own pixels).
QPoint devicePixel(QPointF layout, qreal scale) {
    return QPoint(int(std::floor(layout.x() * scale)), int(std::floor(layout.y() * scale)));
}

QImage grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Bounding box of the text drawn by a yellow-on-navy label: every pixel with a good share of red.
QRect inked(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qRed(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The colour of each kind of element, on its buttons and its swatch, as the window was designed.
QColor designedColour(Category category) {
    switch (category) {
    case Category::Metal:
        return QColor(255, 192, 128);
    case Category::Metalloid:
        return QColor(0, 128, 0);
    case Category::NonMetal:
        return QColor(255, 255, 0);
    case Category::InertGas:
        return QColor(255, 128, 255);
    }
    return {};
}

// The kept picture of the whole client area at a scale: window-100.png, window-125.png and so on.
QString referencePicture(qreal scale) {
    return QStringLiteral(VOSTREL_REFERENCE_DIR "/window-%1.png").arg(qRound(scale * 100));
}

// Beside the pictures, the Qt version that drew each: lines of "window-125.png 6.4.2".
const QString kReferenceVersions = QStringLiteral(VOSTREL_REFERENCE_DIR "/qt-versions.txt");

QMap<QString, QString> referenceVersions() {
    QMap<QString, QString> versions;
    QFile file(kReferenceVersions);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QStringList fields = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (fields.size() == 2 && !fields[0].startsWith(QLatin1Char('#')))
                versions.insert(fields[0], fields[1]);
        }
    }
    return versions;
}

bool recordReferenceVersion(const QString& picture, const QString& version) {
    QMap<QString, QString> versions = referenceVersions();
    versions.insert(picture, version);
    QFile file(kReferenceVersions);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# The Qt version that drew each picture; on another version only their exact comparison is "
           "skipped.\n";
    for (auto it = versions.cbegin(); it != versions.cend(); ++it)
        out << it.key() << ' ' << it.value() << '\n';
    return true;
}

int differingPixelCount(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return count;
}

// Where an edge of the layout, in the window's own pixels, falls on the device: Qt scales a widget's
// geometry and rounds it to the nearest device pixel. Where another Qt rounds a half the other way, or
// blends an edge pixel, an edge lands one pixel off; the checks below allow that pixel, and no more.
int deviceEdge(qreal layout, qreal scale) {
    return qRound(layout * scale);
}
constexpr int kRounding = 1;

// The stretch of pixels that share a colour through a given pixel, along its row or its column:
// [first, end). Empty where the pixel itself is of another colour.
struct Run {
    int first = 0, end = 0;
};

Run runThrough(const QImage& image, QPoint at, bool horizontal, QRgb colour) {
    const auto matches = [&](int along) {
        const QPoint p = horizontal ? QPoint(along, at.y()) : QPoint(at.x(), along);
        return image.rect().contains(p) && (image.pixel(p) & 0xFFFFFF) == (colour & 0xFFFFFF);
    };
    const int start = horizontal ? at.x() : at.y();
    if (!matches(start))
        return {start, start};
    Run run{start, start + 1};
    while (matches(run.first - 1))
        --run.first;
    while (matches(run.end))
        ++run.end;
    return run;
}

QString describe(const Run& run) {
    return QStringLiteral("[%1, %2)").arg(run.first).arg(run.end);
}

bool withinRounding(int measured, int expected, int allowed = kRounding) {
    return std::abs(measured - expected) <= allowed;
}

// A control's face as the tables place it: the rectangle of the control, in the window's pixels, and
// where in the device pixels its face colour starts and ends.
enum class FaceKind {
    PushButton, // the style's bevel on whole device pixels, one light and two dark, inside a ring of one
                // window pixel kept for the default button's frame
    DetailBox,  // a sunken frame of two window pixels all round
};

QRect faceOnDevice(FaceKind kind, const QRect& control, qreal scale) {
    const auto span = [&](int start, int length) {
        if (kind == FaceKind::PushButton)
            return std::pair(deviceEdge(start + 1, scale) + 1, deviceEdge(start + length - 1, scale) - 2);
        return std::pair(deviceEdge(start + 2, scale), deviceEdge(start + length - 2, scale));
    };
    const auto [left, right] = span(control.left(), control.width());
    const auto [top, bottom] = span(control.top(), control.height());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The window with nothing focused: no focus frame, no default button's frame.
QImage grabbedWithoutFocus(RunningWindow& running) {
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    return grabbed(running.window);
}

// The pixels of a caption within an area of the picture: every pixel unlike the ground it is drawn on.

QRect inkWithin(const QImage& image, const QRect& area, QRgb ground, int* count = nullptr) {
    QRect box;
    int pixels = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (ground & 0xFFFFFF)) {
                box |= QRect(x, y, 1, 1);
                ++pixels;
            }
    if (count)
        *count = pixels;
    return box;
}

// How close the pixel nearest in colour to the given one comes, in an area: the largest of the three
// channels' differences.
int nearestTo(const QImage& image, const QRect& area, QRgb colour) {
    int nearest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            nearest = std::min(
                nearest, std::max({std::abs(qRed(p) - qRed(colour)), std::abs(qGreen(p) - qGreen(colour)),
                                   std::abs(qBlue(p) - qBlue(colour))}));
        }
    return nearest;
}

// How far, in device pixels, an edge of a caption's ink may stand from the edge of its outlines:
// hinting moves an edge by up to a pixel, another Qt's rounding by one more.
constexpr qreal kInkSlack = 2.5;
// How far the strokes of a caption at its darkest may be from its colour.
constexpr int kStrokeShade = 24;

QString describe(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class ScaledWindowTest : public QObject {
    Q_OBJECT

    qreal scale_ = requestedScale();
    std::unique_ptr<RunningWindow> unfocused_;
    QImage unfocusedPicture_;

    // The window shown once with nothing focused, and its picture, for the checks that look at every
    // control in turn.
    RunningWindow& unfocused() {
        if (!unfocused_) {
            unfocused_ = std::make_unique<RunningWindow>();
            unfocusedPicture_ = grabbedWithoutFocus(*unfocused_);
        }
        return *unfocused_;
    }
    const QImage& unfocusedPicture() {
        unfocused();
        return unfocusedPicture_;
    }

private slots:
    void initTestCase() { configureApplication(); }
    void cleanupTestCase() { unfocused_.reset(); }

    void theLayoutIsTheSameInWindowPixels() {
        RunningWindow running;
        QCOMPARE(running.window.devicePixelRatioF(), scale_);
        QCOMPARE(running.window.size(), QSize(792, 416));
        QCOMPARE(running.button(1)->geometry(), QRect(8, 16, 33, 33));
        QCOMPARE(running.button(90)->geometry(), QRect(136, 304, 33, 33));
        QCOMPARE(running.box(7)->geometry(), QRect(704, 352, 81, 33));
        QCOMPARE(running.window.label(9)->geometry(), QRect(120, 8, 233, 57));

        const QPixmap picture = running.window.grab();
        QCOMPARE(picture.devicePixelRatio(), scale_);
        QCOMPARE(picture.size(), QSize(qRound(792 * scale_), qRound(416 * scale_)));
    }

    // Every pixel as in the kept picture, focus frame on H included, where this Qt drew the picture; where
    // another Qt draws it otherwise, that one comparison is skipped, and the checks after it stand for the
    // looks.
    // VOSTREL_WRITE_REFERENCES=1 writes the pictures instead, when a change to the looks is meant, and
    // records the Qt that drew them.
    void everyPixelIsAsInTheReference() {
        RunningWindow running;
        QImage image = grabbed(running.window);
        image.setDevicePixelRatio(1);
        const QString path = referencePicture(scale_);
        const QString picture = QFileInfo(path).fileName();
        const QString runningQt = QString::fromLatin1(qVersion());
        if (qEnvironmentVariableIntValue("VOSTREL_WRITE_REFERENCES")) {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QVERIFY(image.save(path));
            QVERIFY(recordReferenceVersion(picture, runningQt));
            return;
        }
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!reference.isNull(), qPrintable(path));
        const QString drawnWith = referenceVersions().value(picture);
        QVERIFY2(!drawnWith.isEmpty(),
                 qPrintable(picture + QStringLiteral(" has no Qt version in ") + kReferenceVersions));
        QCOMPARE(image.size(), reference.size());
        const int differing = differingPixelCount(image, reference);
        if (differing > 0 && drawnWith != runningQt)
            QSKIP(qPrintable(
                QStringLiteral("%1 was drawn with Qt %2 and this is Qt %3, which differs in %4 pixels: "
                               "not compared pixel for pixel")
                    .arg(picture, drawnWith, runningQt)
                    .arg(differing)));
        if (differing > 0) {
            const QString drawn = QDir::temp().filePath(picture);
            image.save(drawn);
            QFAIL(qPrintable(
                QStringLiteral("%1 pixels differ from %2 (drawn: %3)").arg(differing).arg(path, drawn)));
        }
    }

    // Every button face and detail box where the tables put it, to the device pixel as Qt rounds it: its
    // face colour runs from the top-left corner and from the bottom-right one out to its edges, and stops
    // there. The corners are clear of captions; nothing has the focus, so no focus frame crosses a face.
    void facesStandWhereTheTablesPutThem_data() {
        QTest::addColumn<QRect>("control"); // in the window's pixels
        QTest::addColumn<int>("kind");
        QTest::addColumn<QColor>("face");
        for (const ElementButtonSpec& row : elementButtons()) {
            const QPoint at = elementButtonPosition(row);
            QTest::addRow("%s", row.caption)
                << twipsRect(at.x(), at.y(), kElementButtonSize, kElementButtonSize)
                << int(FaceKind::PushButton) << designedColour(row.category);
        }
        const ButtonSpec& exit = exitButton();
        QTest::addRow("exit button") << twipsRect(exit.left, exit.top, exit.width, exit.height)
                                     << int(FaceKind::PushButton)
                                     << QApplication::palette().color(QPalette::Button);
        for (const PanelRowSpec& row : detailPanelRows())
            QTest::addRow("Text%d", row.textNumber)
                << twipsRect(kDetailBoxLeft, row.textTop, kDetailBoxWidth, kDetailBoxHeight)
                << int(FaceKind::DetailBox)
                << (row.background == BoxBackground::White ? QColor::fromRgb(kWhite)
                                                           : QApplication::palette().color(QPalette::Base));
    }

    void facesStandWhereTheTablesPutThem() {
        QFETCH(QRect, control);
        QFETCH(int, kind);
        QFETCH(QColor, face);
        const QImage& image = unfocusedPicture();
        const QRect expected = faceOnDevice(FaceKind(kind), control, scale_).intersected(image.rect());
        // The exit button reaches past the window's right and bottom edges.
        const QRectF shown = QRectF(control).intersected(QRectF(0, 0, px(kClientWidth), px(kClientHeight)));
        const QPoint topLeft = devicePixel(shown.topLeft() + QPointF(4.5, 4.5), scale_);
        const QPoint bottomRight = devicePixel(shown.bottomRight() - QPointF(4.5, 4.5), scale_);
        for (const QPoint corner : {topLeft, bottomRight})
            QVERIFY2(image.pixelColor(corner) == face,
                     qPrintable(QStringLiteral("%1 at %2,%3 instead of %4")
                                    .arg(image.pixelColor(corner).name(), QString::number(corner.x()),
                                         QString::number(corner.y()), face.name())));

        const Run across = runThrough(image, topLeft, true, face.rgb());
        const Run down = runThrough(image, topLeft, false, face.rgb());
        const Run acrossBelow = runThrough(image, bottomRight, true, face.rgb());
        const Run downRight = runThrough(image, bottomRight, false, face.rgb());
        const QString where = QStringLiteral("face expected at %1; runs %2 %3 across, %4 %5 down")
                                  .arg(describe(expected), describe(across), describe(acrossBelow),
                                       describe(down), describe(downRight));
        QVERIFY2(withinRounding(across.first, expected.left()), qPrintable(where));
        QVERIFY2(withinRounding(down.first, expected.top()), qPrintable(where));
        QVERIFY2(withinRounding(acrossBelow.end, expected.right() + 1), qPrintable(where));
        QVERIFY2(withinRounding(downRight.end, expected.bottom() + 1), qPrintable(where));
    }

    // Every caption drawn whole inside its control: there is ink, in the caption's own colour, and it
    // covers what the font's outlines of the whole caption cover, grown by the scale, at the place the
    // control's alignment gives it, to within the pixel that hinting and another rounding move an edge
    // by, and one more. A caption cut off at its control's edge, drawn in part, in another size or
    // colour, or in another place fails. A label's ink is looked for in the whole label, as the loop of
    // "โ" reaches into its margin; a button's within its bevel.
    void captionsShowWholeInsideTheirControls_data() {
        QTest::addColumn<bool>("isLabel");
        QTest::addColumn<int>("number");
        QTest::addColumn<QRect>("control"); // in the window's pixels, from the tables
        QTest::addColumn<QColor>("colour");
        const QColor lightYellow(255, 255, 192), yellow(255, 255, 0), black(0, 0, 0);
        for (const LabelSpec& row : titleAndCaptionLabels())
            QTest::addRow("Label%d", row.number)
                << true << row.number << twipsRect(row.left, row.top, row.width, row.height)
                << (row.number == 9 ? lightYellow : yellow);
        for (const PanelRowSpec& panelRow : detailPanelRows()) {
            const LabelSpec row = fieldLabelSpec(panelRow);
            QTest::addRow("Label%d", row.number)
                << true << row.number << twipsRect(row.left, row.top, row.width, row.height) << yellow;
        }
        for (const ElementButtonSpec& row : elementButtons()) {
            const QPoint at = elementButtonPosition(row);
            QTest::addRow("Command%d", row.number)
                << false << row.number << twipsRect(at.x(), at.y(), kElementButtonSize, kElementButtonSize)
                << black;
        }
        const ButtonSpec& exit = exitButton();
        QTest::addRow("Command%d", exit.number)
            << false << exit.number << twipsRect(exit.left, exit.top, exit.width, exit.height) << black;
    }

    void captionsShowWholeInsideTheirControls() {
        QFETCH(bool, isLabel);
        QFETCH(int, number);
        QFETCH(QRect, control);
        QFETCH(QColor, colour);
        RunningWindow& running = unfocused();
        const QImage& image = unfocusedPicture();

        // The area the caption is laid out in, the part of the window its ink is looked for in, and the
        // ground under it.
        QWidget* widget = nullptr;
        QString caption;
        QRect area, searched;
        QColor ground;
        Qt::Alignment alignment = Qt::AlignCenter;
        const auto onDevice = [this](const QRect& r) {
            return QRect(
                QPoint(deviceEdge(r.left(), scale_), deviceEdge(r.top(), scale_)),
                QPoint(deviceEdge(r.right() + 1, scale_) - 1, deviceEdge(r.bottom() + 1, scale_) - 1));
        };
        if (isLabel) {
            QLabel* label = running.window.label(number);
            QVERIFY(label);
            widget = label;
            caption = label->text();
            area = label->contentsRect().translated(control.topLeft());
            searched = onDevice(control);
            ground = label->palette().color(QPalette::Window);
            alignment = label->alignment();
        } else {
            QPushButton* button = running.button(number);
            QVERIFY(button);
            widget = button;
            caption = button->text();
            QStyleOptionButton option;
            option.initFrom(button);
            option.features = QStyleOptionButton::AutoDefaultButton;
            option.text = caption;
            area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            area.translate(control.topLeft());
            // Kept off the bevel, which another Qt may draw a pixel further in.
            searched = onDevice(area).adjusted(kRounding, kRounding, -kRounding, -kRounding);
            ground = button->palette().color(QPalette::Button);
        }
        QCOMPARE(widget->geometry(), control);
        QVERIFY(!caption.isEmpty());
        const QFontMetricsF metrics(widget->font());
        QVERIFY2(metrics.horizontalAdvance(caption) <= control.width(), "the caption needs a second line");

        // The outlines, with the baseline and alignment drawCaption gives the line.
        QPainterPath path;
        path.addText(0, 0, widget->font(), caption);
        qreal left = 0, baseline = metrics.ascent();
        if (alignment & Qt::AlignHCenter)
            left = (area.width() - metrics.horizontalAdvance(caption)) / 2;
        else if (alignment & Qt::AlignRight)
            left = area.width() - metrics.horizontalAdvance(caption);
        if (alignment & Qt::AlignVCenter)
            baseline += (area.height() - metrics.ascent() - metrics.descent()) / 2;
        const QRectF outline = path.boundingRect().translated(area.left() + left, area.top() + baseline);
        const QRectF expected(outline.topLeft() * scale_, outline.size() * scale_);

        int pixels = 0;
        const QRect ink = inkWithin(image, searched, ground.rgb(), &pixels);
        const QString where = QStringLiteral("\"%1\": ink %2 (%3 pixels) in %4, where the outlines cover "
                                             "%5,%6 to %7,%8")
                                  .arg(caption, describe(ink), QString::number(pixels), describe(searched))
                                  .arg(expected.left(), 0, 'f', 1)
                                  .arg(expected.top(), 0, 'f', 1)
                                  .arg(expected.right(), 0, 'f', 1)
                                  .arg(expected.bottom(), 0, 'f', 1);
        QVERIFY2(pixels > 0, qPrintable(where));
        // The whole caption fits where its control draws it, and its ink covers the whole caption.
        QVERIFY2(QRectF(searched).adjusted(-kInkSlack, -kInkSlack, kInkSlack, kInkSlack).contains(expected),
                 qPrintable(where));
        QVERIFY2(std::abs(ink.left() - expected.left()) <= kInkSlack, qPrintable(where));
        QVERIFY2(std::abs(ink.right() + 1 - expected.right()) <= kInkSlack, qPrintable(where));
        QVERIFY2(std::abs(ink.top() - expected.top()) <= kInkSlack, qPrintable(where));
        QVERIFY2(std::abs(ink.bottom() + 1 - expected.bottom()) <= kInkSlack, qPrintable(where));
        // Anti-aliased text blends into its ground at the edges, but its strokes are drawn in its colour.
        QVERIFY2(nearestTo(image, ink, colour.rgb()) <= kStrokeShade,
                 qPrintable(QStringLiteral("%1; no pixel within %2 of %3")
                                .arg(where)
                                .arg(kStrokeShade)
                                .arg(colour.name())));
    }

    void coloursHoldWhereTheyStand_data() {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("background above He") << QPointF(560, 8) << kGround;
        QTest::newRow("background left of the panel") << QPointF(540, 380) << kGround;
        QTest::newRow("background in the gap of period 1") << QPointF(420, 30) << kGround;
        QTest::newRow("background between period 7 and the series") << QPointF(100, 258) << kGround;
        QTest::newRow("background right of the legend") << QPointF(640, 370) << kGround;
        QTest::newRow("background between the boxes") << QPointF(744, 56.5) << kGround;
        QTest::newRow("metal swatch") << QPointF(28.5, 364.5) << QColor(255, 192, 128);
        QTest::newRow("metalloid swatch") << QPointF(164.5, 364.5) << QColor(0, 128, 0);
        QTest::newRow("non-metal swatch") << QPointF(316.5, 364.5) << QColor(255, 255, 0);
        QTest::newRow("inert gas swatch") << QPointF(468.5, 364.5) << QColor(255, 128, 255);
        QTest::newRow("Text7") << QPointF(710, 358) << QColor(255, 255, 255);
        QTest::newRow("metal face (Li)") << QPointF(13, 61) << QColor(255, 192, 128);
        QTest::newRow("metalloid face (B)") << QPointF(397, 61) << QColor(0, 128, 0);
        QTest::newRow("non-metal face (C)") << QPointF(429, 61) << QColor(255, 255, 0);
        QTest::newRow("inert gas face (Ne)") << QPointF(557, 61) << QColor(255, 128, 255);
    }

    void coloursHoldWhereTheyStand() {
        QFETCH(QPointF, at);
        QFETCH(QColor, colour);
        RunningWindow running;
        const QImage image = grabbed(running.window);
        QCOMPARE(image.pixelColor(devicePixel(at, scale_)), colour);
    }

    // Each bracket line as the tables draw it: one window pixel along a row or a column, both ends
    // included.
    void bracketLinesStaySolid_data() {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("across"); // the row of a horizontal line, the column of a vertical one
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        for (const LineSpec& row : bracketLines()) {
            const QLine line = twipsLine(row.x1, row.y1, row.x2, row.y2);
            const bool horizontal = line.y1() == line.y2();
            QTest::addRow("Line%d", row.number)
                << horizontal << (horizontal ? line.y1() : line.x1())
                << (horizontal ? std::min(line.x1(), line.x2()) : std::min(line.y1(), line.y2()))
                << (horizontal ? std::max(line.x1(), line.x2()) : std::max(line.y1(), line.y2()));
        }
    }

    void bracketLinesStaySolid() {
        QFETCH(bool, horizontal);
        QFETCH(int, across);
        QFETCH(int, from);
        QFETCH(int, to);
        const QImage& image = unfocusedPicture();
        const auto pixel = [&](int along, int side) {
            return horizontal ? image.pixelColor(along, side) : image.pixelColor(side, along);
        };

        // Across its middle: a pure line where the layout pixel starts on the device, as thick as the
        // scale rounds to, with bare background on both sides, never a blend smeared over a further row.
        const int first = deviceEdge(across, scale_);
        const int thickness = std::max(1, qRound(scale_));
        const int middle = deviceEdge((from + to) / 2.0, scale_);
        int start = -1;
        for (int side = first - kRounding; side <= first + kRounding && start < 0; ++side)
            if (pixel(middle, side) == kLineColour)
                start = side;
        QVERIFY2(start >= 0, qPrintable(QStringLiteral("no line within a pixel of %1").arg(first)));
        const QPoint at = horizontal ? QPoint(middle, start) : QPoint(start, middle);
        const Run run = runThrough(image, at, !horizontal, kLineColour.rgb());
        QVERIFY2(withinRounding(run.first, first),
                 qPrintable(QStringLiteral("starts at %1, not %2").arg(run.first).arg(first)));
        QVERIFY2(
            run.end - run.first == thickness,
            qPrintable(QStringLiteral("%1 pixels thick, not %2").arg(run.end - run.first).arg(thickness)));
        for (int side = run.first - 3; side < run.first; ++side)
            QCOMPARE(pixel(middle, side), kGround);
        for (int side = run.end; side < run.end + 3; ++side)
            QCOMPARE(pixel(middle, side), kGround);

        // Along it: unbroken from end to end, where the ends are not under a label (a bar meets its
        // caption there).
        const auto underALabel = [&](int along) {
            const QPoint layout = horizontal ? QPoint(along, across) : QPoint(across, along);
            for (const LabelSpec& label : titleAndCaptionLabels())
                if (twipsRect(label.left, label.top, label.width, label.height).contains(layout))
                    return true;
            return false;
        };
        int shownFrom = from, shownTo = to;
        while (shownFrom <= to && underALabel(shownFrom))
            ++shownFrom;
        while (shownTo >= from && underALabel(shownTo))
            --shownTo;
        QVERIFY(shownFrom < shownTo);
        const Run along = runThrough(image, at, horizontal, kLineColour.rgb());
        const Run expected{deviceEdge(shownFrom, scale_), deviceEdge(shownTo + 1, scale_)};
        QVERIFY2(
            withinRounding(along.first, expected.first) && withinRounding(along.end, expected.end),
            qPrintable(QStringLiteral("runs along %1, not %2").arg(describe(along), describe(expected))));
    }

    // Each legend swatch: a circle filling its square, in its kind's colour, inside a red rim three
    // window pixels thick that reaches the square's edges on all four sides.
    void swatchesFillTheirSquares_data() {
        QTest::addColumn<QRect>("square");
        QTest::addColumn<QColor>("fill");
        for (const ShapeSpec& row : legendSwatches())
            QTest::addRow("Shape%d", row.number)
                << twipsRect(row.left, row.top, row.width, row.height) << designedColour(row.category);
    }

    void swatchesFillTheirSquares() {
        QFETCH(QRect, square);
        QFETCH(QColor, fill);
        const QImage& image = unfocusedPicture();
        const QPointF centre = QRectF(square).center();
        QCOMPARE(image.pixelColor(devicePixel(centre, scale_)), fill);

        const auto red = [](const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
        // Across the middle from one side of the square to the other: the first and last red pixels at
        // the square's edges, and the rim as thick as the scale makes three pixels.
        for (const bool horizontal : {true, false}) {
            const int line = horizontal ? devicePixel(centre, scale_).y() : devicePixel(centre, scale_).x();
            const int start = deviceEdge(horizontal ? square.left() : square.top(), scale_);
            const int end = deviceEdge(horizontal ? square.right() + 1 : square.bottom() + 1, scale_);
            QList<int> reds;
            for (int along = start - 3; along < end + 3; ++along)
                if (red(horizontal ? image.pixelColor(along, line) : image.pixelColor(line, along)))
                    reds << along;
            const QString where =
                QStringLiteral("%1: red from %2 to %3 (%4 pixels), the square from %5 to %6")
                    .arg(horizontal ? "across" : "down")
                    .arg(reds.value(0))
                    .arg(reds.value(reds.size() - 1))
                    .arg(reds.size())
                    .arg(start)
                    .arg(end - 1);
            QVERIFY2(reds.size() >= 2, qPrintable(where));
            QVERIFY2(withinRounding(reds.first(), start) && withinRounding(reds.last(), end - 1),
                     qPrintable(where));
            QVERIFY2(std::abs(reds.size() - 2 * 3 * scale_) <= 3, qPrintable(where));
        }
    }

    void iconIsDrawnFromTheBestFittingImage() {
        Form1 window;
        const QIcon icon = window.windowIcon();
        const auto image = [&icon](int size, qreal ratio) {
            QImage picture =
                icon.pixmap(QSize(size, size), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
            picture.setDevicePixelRatio(1); // compared pixel for pixel
            return picture;
        };
        const QImage small = image(16, scale_);
        QCOMPARE(small.size(), QSize(qRound(16 * scale_), qRound(16 * scale_)));
        // At a whole scale the image of that many pixels is shown as it is: at 200 % the 32-pixel
        // image, not the 16-pixel one blown up.
        if (scale_ == 1 || scale_ == 2)
            QCOMPARE(small, image(qRound(16 * scale_), 1));
        if (scale_ == 2)
            QVERIFY(small != image(16, 1).scaled(32, 32));
    }

    void textGrowsWithTheScale_data() {
        QTest::addColumn<int>("labelNumber");
        QTest::newRow("title, 36 points") << 9;
        QTest::newRow("region caption, 14.25 points") << 10;
        QTest::newRow("legend caption, window font") << 15;
        QTest::newRow("field label, window font") << 6;
    }

    void textGrowsWithTheScale() {
        QFETCH(int, labelNumber);
        RunningWindow running;
        QLabel* label = running.window.label(labelNumber);

        QImage atOne(label->size(), QImage::Format_RGB32);
        atOne.setDevicePixelRatio(1);
        label->render(&atOne);
        const QRect reference = inked(atOne);
        const QRect scaled = inked(grabbed(*label));
        QVERIFY(reference.height() > 4);

        // Glyphs are drawn afresh at each size, so hinting may move an edge by a pixel or two.
        const auto close = [this](int measured, int atScaleOne) {
            return std::abs(measured - atScaleOne * scale_) <= std::max(3.0, 0.08 * atScaleOne * scale_);
        };
        QVERIFY2(close(scaled.height(), reference.height()),
                 qPrintable(QString("%1 high against %2 at 1").arg(scaled.height()).arg(reference.height())));
        QVERIFY2(close(scaled.width(), reference.width()),
                 qPrintable(QString("%1 wide against %2 at 1").arg(scaled.width()).arg(reference.width())));
        QVERIFY2(close(scaled.top(), reference.top()), "the text starts lower or higher than at 1");
    }
};

QTEST_MAIN(ScaledWindowTest)
#include "test_scaled_window.moc"
