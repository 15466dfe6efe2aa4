#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

class QFontMetricsF;
class QPainter;
class QRect;

namespace vostrel {

// The lines of a caption in a box of the given width: broken only at spaces, each line as many
// words as fit (a word wider than the box stands alone on its line). Thai captions are laid out
// without Qt's Unicode line breaking, which for Thai loads a whole word-break dictionary.
QStringList captionLines(const QString& caption, const QFontMetricsF& metrics, qreal width);

// Draws a caption in the painter's font and pen, from the top of `area` (or centred in its height),
// each line aligned in `area` and drawn as one run; what does not fit its height is cut off. Without
// `wrap` the caption is one line, however wide.
void drawCaption(QPainter& painter, const QRect& area, Qt::Alignment alignment, const QString& caption,
                 bool wrap);

// A label whose caption is laid out by captionLines(); to everything else, a plain QLabel.
class CaptionLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button whose caption is laid out by captionLines(); the style draws its bevel and focus frame.
class CaptionButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vostrel
