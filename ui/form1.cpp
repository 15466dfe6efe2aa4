#include "form1.h"

#include "accessibility/detail_box_accessible.h"
#include "accessibility/window_accessibility.h"
#include "control_builders.h"
#include "default_font_scope.h"
#include "device_pixels.h"
#include "grid_navigation.h"
#include "main_window_tables.h"
#include "twips.h"
#include "window_pictures.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace vostrel {

Form1::Form1(QWidget* parent)
    : QWidget(parent) {
    presentForm1AsWindow();
    readDetailBoxesWhole();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(vostrel::windowIcon());
    setCursor(windowCursor());
    setFont(thaiFont(kWindowFont)); // for every control without a font of its own
    setAutoFillBackground(true);
    setPalette(paletteWith({{QPalette::Window, kNavy}}));
    resize(px(kClientWidth), px(kClientHeight));

    auto* arrowKeys = new GridArrowKeys(this);
    for (const ElementButtonSpec& row : elementButtons()) {
        QPushButton* button = buildElementButton(this, row);
        commands_[static_cast<std::size_t>(row.number - 1)] = button;
        addToTabOrder(row.tabIndex, button);
        arrowKeys->addButton(row.number, button);
    }
    {
        const DefaultFontScope boxFont(detailBoxFont());
        for (const PanelRowSpec& row : detailPanelRows()) {
            const LabelSpec labelSpec = fieldLabelSpec(row);
            QLabel* fieldLabel = buildLabel(this, labelSpec);
            labels_[static_cast<std::size_t>(labelSpec.number - 1)] = fieldLabel;
            addToTabOrder(row.textTabIndex, buildDetailBox(this, row, fieldLabel));
        }
    }
    for (const LabelSpec& row : titleAndCaptionLabels())
        labels_[static_cast<std::size_t>(row.number - 1)] = buildLabel(this, row);

    const ButtonSpec& exit = exitButton();
    QPushButton* exitButton = buildPushButton(this, exit);
    commands_[static_cast<std::size_t>(exit.number - 1)] = exitButton;
    addToTabOrder(exit.tabIndex, exitButton);

    chainTabOrder();
}

QPushButton* Form1::command(int n) const {
    return n >= 1 && n <= kButtonCount ? commands_[static_cast<std::size_t>(n - 1)] : nullptr;
}

QLabel* Form1::label(int n) const {
    return n >= 1 && n <= kLabelCount ? labels_[static_cast<std::size_t>(n - 1)] : nullptr;
}

QLineEdit* Form1::text(int k) const {
    if (k < 1 || k > kTextCount)
        return nullptr;
    // Looked up by name each time, so a box that has been destroyed is never handed out.
    return findChild<QLineEdit*>(QLatin1String("Text") + QString::number(k), Qt::FindDirectChildrenOnly);
}

QWidget* Form1::firstInTabOrder() const {
    return tabOrder_.empty() ? nullptr : tabOrder_.front().second;
}

void Form1::addToTabOrder(int tabIndex, QWidget* control) {
    tabOrder_.emplace_back(tabIndex, control);
}

void Form1::chainTabOrder() {
    std::sort(tabOrder_.begin(), tabOrder_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder_.size(); ++i)
        setTabOrder(tabOrder_[i - 1].second, tabOrder_[i].second);
}

void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);

    // Legend swatches: circles inscribed in their squares, with a 3-pixel red outline inside the square.
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr qreal kOutline = 3;
    painter.setPen(QPen(QColor::fromRgb(kRed), kOutline));
    for (const ShapeSpec& swatch : legendSwatches()) {
        painter.setBrush(QColor::fromRgb(categoryColour(swatch.category)));
        const QRectF square = twipsRect(swatch.left, swatch.top, swatch.width, swatch.height);
        painter.drawEllipse(square.adjusted(kOutline / 2, kOutline / 2, -kOutline / 2, -kOutline / 2));
    }

    // Bracket lines: all horizontal or vertical, one pixel, filled on whole device pixels so that they
    // stay solid at fractional scales.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor yellow = QColor::fromRgb(kYellow);
    for (const LineSpec& row : bracketLines())
        painter.fillRect(crispLineRect(twipsLine(row.x1, row.y1, row.x2, row.y2), devicePixelRatioF()),
                         yellow);
}

} // namespace vostrel
