#include "caption_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace vostrel {

QStringList captionLines(const QString& caption, const QFontMetricsF& metrics, qreal width) {
    QStringList lines;
    const qsizetype length = caption.size();
    qsizetype start = 0;
    while (start < length) {
        // The line runs to the last space at which it still fits, or to the end of its first word.
        qsizetype end = caption.indexOf(QLatin1Char(' '), start + 1);
        if (end < 0)
            end = length;
        for (qsizetype next = end; next < length;) {
            next = caption.indexOf(QLatin1Char(' '), next + 1);
            if (next < 0)
                next = length;
            if (metrics.horizontalAdvance(caption.mid(start, next - start)) > width)
                break;
            end = next;
        }
        lines << caption.mid(start, end - start);
        start = end;
        while (start < length && caption.at(start) == QLatin1Char(' '))
            ++start; // the spaces at a break belong to neither line
    }
    return lines;
}

void drawCaption(QPainter& painter, const QRect& area, Qt::Alignment alignment, const QString& caption,
                 bool wrap) {
    const QFontMetricsF metrics(painter.font());
    const qreal lineHeight = metrics.ascent() + metrics.descent();
    const qreal leading = metrics.leading();

    // Lines stack from the top, each on a whole pixel, until one reaches the bottom of the area.
    struct Line {
        QString text;
        qreal top, advance;
    };
    QList<Line> lines;
    qreal height = -leading, widest = 0;
    for (const QString& text : wrap ? captionLines(caption, metrics, area.width()) : QStringList{caption}) {
        height = std::ceil(height + leading);
        lines.append({text, height, metrics.horizontalAdvance(text)});
        height += lineHeight;
        widest = std::max(widest, lines.back().advance);
        if (height >= area.height())
            break;
    }

    qreal top = 0;
    if (alignment & Qt::AlignVCenter)
        top = (area.height() - height) / 2;
    // Where a run of this width starts in the area, as the alignment places it.
    const auto leftOf = [&](qreal width) -> qreal {
        if (alignment & Qt::AlignRight)
            return area.width() - width;
        if (alignment & Qt::AlignHCenter)
            return (area.width() - width) / 2;
        return 0;
    };
    const qreal boxLeft = leftOf(widest);

    // Cut off at the area's edges only when the caption reaches past them.
    const bool spills = !QRectF(area).contains(QRectF(area.x() + boxLeft, area.y() + top, widest, height));
    painter.save();
    if (spills)
        painter.setClipRect(area, Qt::IntersectClip);
    const qreal ascent = metrics.ascent();
    for (const Line& line : lines)
        painter.drawText(QPointF(area.x() + leftOf(line.advance), area.y() + top + line.top + ascent),
                         line.text);
    painter.restore();
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    drawCaption(painter, contentsRect(), alignment(), text(), wordWrap());
}

void CaptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style's own push button, taken apart: bevel, caption, focus frame.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_On | QStyle::State_Sunken))
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.setPen(option.palette.color(QPalette::ButtonText));
    drawCaption(painter, area, Qt::AlignCenter, option.text, false);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace vostrel
