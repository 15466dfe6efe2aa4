// Every caption of the window, in the font its control resolves to, shows whole: on one line,
// inside the control's face, no mark cut off. A caption too wide for its label wraps at spaces only
// and is cut off below.

#include "caption_layout.h"
#include "control_builders.h"
#include "form1.h"
#include "main_window_tables.h"
#include "startup.h"
#include "window_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QtMath>

#include <memory>

using namespace vostrel;

namespace {

constexpr int kElementK = 19;

// Room around a control's own rectangle, so that drawing that strays outside it still shows.
constexpr int kMargin = 40;

// The rectangle of the pixels in which two pictures of the same size differ.
QRect differingPixels(const QImage& a, const QImage& b) {
    QRect found;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                found |= QRect(x, y, 1, 1);
    return found;
}

QImage canvas(const QWidget& control) {
    QImage image(control.size() + QSize(2 * kMargin, 2 * kMargin), QImage::Format_ARGB32_Premultiplied);
    // What shows around a control that paints only part of itself: the window's navy.
    image.fill(control.palette().color(QPalette::Window));
    return image;
}

// A painter opened on a widget starts with the widget's font, pen and background; the focus frame
// takes its colour from that background.
void startLikeWidgetPainter(QPainter& painter, const QWidget& control) {
    painter.setFont(control.font());
    painter.setPen(control.palette().color(control.foregroundRole()));
    painter.setBackground(control.palette().brush(control.backgroundRole()));
}

QImage grabbed(QWidget& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage inControlRect(const QImage& drawn, const QWidget& control) {
    return drawn.copy(QRect(QPoint(kMargin, kMargin), control.size()));
}

// A label drawn the way QLabel draws a plain-text caption, but without its clipping.
QImage drawLabel(const QLabel& label, const QString& caption) {
    QImage image = canvas(label);
    QRect area =
        label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
    const Qt::Alignment align = QStyle::visualAlignment(label.layoutDirection(), label.alignment());
    if (label.indent() > 0) {
        if (align & Qt::AlignLeft)
            area.setLeft(area.left() + label.indent());
        if (align & Qt::AlignRight)
            area.setRight(area.right() - label.indent());
        if (align & Qt::AlignTop)
            area.setTop(area.top() + label.indent());
        if (align & Qt::AlignBottom)
            area.setBottom(area.bottom() - label.indent());
    }
    QPainter painter(&image);
    startLikeWidgetPainter(painter, label);
    label.style()->drawItemText(&painter, area.translated(kMargin, kMargin),
                                int(align) | (label.wordWrap() ? Qt::TextWordWrap : 0), label.palette(),
                                label.isEnabled(), caption, label.foregroundRole());
    return image;
}

// A push button drawn the way QPushButton draws itself, but without its clipping.
QImage drawButton(const QPushButton& button, const QString& caption) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect.translate(kMargin, kMargin);
    option.features = QStyleOptionButton::None;
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    option.state |= button.isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    option.text = caption;
    option.iconSize = button.iconSize();

    QImage image = canvas(button);
    QPainter painter(&image);
    startLikeWidgetPainter(painter, button);
    button.style()->drawControl(QStyle::CE_PushButton, &option, &painter, &button);
    return image;
}

// The part of a bare button painted in its face colour, inside the bevel.
QRect faceOf(const QImage& bare, const QColor& face) {
    QRect found;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < bare.width(); ++x)
            if (bare.pixel(x, y) == face.rgba())
                found |= QRect(x, y, 1, 1);
    return found;
}

QByteArray describe(const QWidget& control, const QString& caption, const QRect& ink, const QRect& room) {
    return QStringLiteral("%1 \"%2\": ink %3,%4 %5x%6 in %7,%8 %9x%10")
        .arg(control.objectName(), caption)
        .arg(ink.x())
        .arg(ink.y())
        .arg(ink.width())
        .arg(ink.height())
        .arg(room.x())
        .arg(room.y())
        .arg(room.width())
        .arg(room.height())
        .toUtf8();
}

} // namespace

class WindowCaptionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> window_;

    // The font a control asked for, as Qt resolved it: the substitute, in a face of its own.
    static void verifyResolvedFont(const QWidget& control, bool bold) {
        const QFontInfo info(control.font());
        const QByteArray name = control.objectName().toUtf8();
        QVERIFY2(info.family() == QLatin1String(kWindowFontSubstituteFamily), name.constData());
        QVERIFY2(info.bold() == bold, name.constData());
        if (QGuiApplication::platformName() != QLatin1String("windows")) // Windows' fonts name no styles
            QVERIFY2(info.styleName() == (bold ? QLatin1String("Bold") : QLatin1String("Regular")),
                     name.constData());
    }

private slots:
    void initTestCase() {
        configureApplication();
        QVERIFY(installWindowFontSubstitute());
        window_ = std::make_unique<Form1>();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanupTestCase() { window_.reset(); }

    void labelCaptionsShowWhole_data() {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= Form1::kLabelCount; ++n)
            QTest::addRow("Label%d", n) << n;
    }

    void labelCaptionsShowWhole() {
        QFETCH(int, number);
        QLabel* label = window_->label(number);
        QVERIFY(label);
        verifyResolvedFont(*label, true);

        const QString caption = label->text();
        const QImage drawn = drawLabel(*label, caption);
        QCOMPARE(inControlRect(drawn, *label), grabbed(*label)); // drawn as the label itself draws
        const QRect ink = differingPixels(drawn, drawLabel(*label, QString())).translated(-kMargin, -kMargin);
        const QByteArray where = describe(*label, caption, ink, label->rect());

        QVERIFY2(!ink.isEmpty(), where.constData());
        // The loop of "โ" overhangs its letter to the left by a pixel; left-aligned labels need an
        // indent of one pixel to show it.
        QVERIFY2(label->rect().contains(ink), where.constData());
        const QFontMetrics metrics(label->font());
        const QRect laidOut =
            metrics.boundingRect(label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap, caption);
        QVERIFY2(laidOut.height() < 2 * metrics.lineSpacing(), where.constData()); // one line
    }

    void buttonCaptionsShowWhole_data() {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= Form1::kButtonCount; ++n)
            QTest::addRow("Command%d", n) << n;
    }

    void buttonCaptionsShowWhole() {
        QFETCH(int, number);
        QPushButton* button = window_->command(number);
        QVERIFY(button);
        verifyResolvedFont(*button, number != kElementK);
        button->setFocus(); // the style's focus frame is drawn with the caption, in its place
        QVERIFY(button->hasFocus());

        const QString caption = button->text();
        const QImage drawn = drawButton(*button, caption);
        const QImage bare = drawButton(*button, QString());
        QCOMPARE(inControlRect(drawn, *button), grabbed(*button)); // drawn as the button itself draws
        const QRect ink = differingPixels(drawn, bare).translated(-kMargin, -kMargin);
        const QRect face = faceOf(inControlRect(bare, *button), button->palette().color(QPalette::Button))
                               .intersected(button->rect());
        const QByteArray where = describe(*button, caption, ink, face);

        QVERIFY2(!ink.isEmpty(), where.constData());
        QVERIFY2(face.contains(ink), where.constData());
    }

    void aCaptionTooWideWrapsAtSpacesAndIsCutBelow() {
        // Label13's caption in a label too narrow for it and a line and a half high.
        QWidget parent;
        QLabel* label = buildLabel(&parent, titleAndCaptionLabels()[4]);
        const QString caption = QStringLiteral("Inner transition Metal");
        QCOMPARE(label->text(), caption);
        const QFontMetricsF metrics(label->font());
        const int width = qCeil(metrics.horizontalAdvance(QStringLiteral("Inner transition"))) + 4;
        label->setGeometry(0, 0, width, qRound(1.5 * metrics.lineSpacing()));
        QCOMPARE(captionLines(caption, metrics, width), QStringList({"Inner transition", "Metal"}));

        // Drawn as Qt's own word wrap draws a caption broken at its spaces.
        QLabel qtLabel(caption, &parent);
        qtLabel.setGeometry(label->geometry());
        qtLabel.setFont(label->font());
        qtLabel.setPalette(label->palette());
        qtLabel.setAutoFillBackground(true);
        qtLabel.setAlignment(label->alignment());
        qtLabel.setWordWrap(true);
        const QImage drawn = grabbed(*label);
        QCOMPARE(drawn, grabbed(qtLabel));

        // The second line is cut off by the label's bottom edge: yellow reaches its last row.
        bool inkInLastRow = false;
        for (int x = 0; x < drawn.width(); ++x)
            inkInLastRow |= qRed(drawn.pixel(x, drawn.height() - 1)) > 128;
        QVERIFY(inkInLastRow);

        // Only spaces break a line: a Thai caption without one stays whole however narrow, and the
        // spaces at a break belong to neither line.
        const QString electrons = QString::fromUtf8("จำนวนอิเล็กตรอน");
        QCOMPARE(captionLines(electrons, metrics, 10), QStringList{electrons});
        QCOMPARE(captionLines(QString::fromUtf8("ชื่อ  ธาตุ"), metrics, 10),
                 QStringList({QString::fromUtf8("ชื่อ"), QString::fromUtf8("ธาตุ")}));
    }

    void detailBoxesUseTheSubstitute() {
        for (int k = 1; k <= Form1::kTextCount; ++k) {
            QLineEdit* box = window_->text(k);
            QVERIFY(box);
            verifyResolvedFont(*box, true);
        }
    }
};

QTEST_MAIN(WindowCaptionsTest)
#include "test_window_captions.moc"
