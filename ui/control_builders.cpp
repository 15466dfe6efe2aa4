#include "control_builders.h"

#include "caption_layout.h"
#include "element_table.h"
#include "twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace vostrel {
namespace {

Qt::Alignment horizontal(Align align) {
    switch (align) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Centre:
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

QString controlName(const char* kind, int number) {
    return QLatin1String(kind) + QString::number(number);
}

// What a screen reader says for an element button: the symbol without the series asterisks, then the
// English name ("La Lanthanum", "Th Thorium"), since a bare symbol is hard to follow by ear.
QString spokenName(const ElementButtonSpec& row) {
    QString name = QString::fromUtf8(row.caption).remove(QLatin1Char('*'));
    if (const ElementRecord* record = elementRecord(row.number))
        name += QLatin1Char(' ') +
                QString::fromUtf8(record->ElementName.data(), qsizetype(record->ElementName.size()));
    return name;
}

} // namespace

QLabel* buildLabel(QWidget* parent, const LabelSpec& row) {
    auto* label = new CaptionLabel(QString::fromUtf8(row.caption), parent);
    label->setObjectName(controlName("Label", row.number));
    label->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
    label->setTextFormat(Qt::PlainText);
    label->setFont(thaiFont(row.font));
    label->setAlignment(horizontal(row.align) | Qt::AlignTop);
    label->setWordWrap(true);
    if (row.align == Align::Left)
        label->setContentsMargins(1, 0, 0, 0); // room for marks that reach left of their letter, as in "โ"
    label->setFocusPolicy(Qt::NoFocus);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAutoFillBackground(true);
    label->setPalette(paletteWith({{QPalette::Window, kNavy}, {QPalette::WindowText, row.textColour}}));
    return label;
}

QPushButton* buildPushButton(QWidget* parent, const ButtonSpec& row) {
    auto* button = new CaptionButton(QString::fromUtf8(row.caption), parent);
    button->setObjectName(controlName("Command", row.number));
    button->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
    button->setCursor(Qt::ArrowCursor);
    button->setAutoDefault(true); // Enter presses the focused button, and only that one
    return button;
}

QPushButton* buildElementButton(QWidget* parent, const ElementButtonSpec& row) {
    const QPoint at = elementButtonPosition(row);
    QPushButton* button = buildPushButton(parent, {row.number, row.caption, at.x(), at.y(),
                                                   kElementButtonSize, kElementButtonSize, row.tabIndex});
    button->setPalette(paletteWith({{QPalette::Button, categoryColour(row.category)}}));
    button->setFont(thaiFont(elementButtonFont(row)));
    const QString state = QString::fromUtf8(stateTooltip(row.state));
    button->setToolTip(state);
    button->setAccessibleName(spokenName(row));
    button->setAccessibleDescription(state);
    return button;
}

const QFont& detailBoxFont() {
    return thaiFont(kCaptionFont);
}

QLineEdit* buildDetailBox(QWidget* parent, const PanelRowSpec& row, QLabel* fieldLabel) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(controlName("Text", row.textNumber));
    box->setGeometry(twipsRect(kDetailBoxLeft, row.textTop, kDetailBoxWidth, kDetailBoxHeight));
    box->setFont(detailBoxFont());
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(std::numeric_limits<int>::max()); // a box holds whatever is typed or pasted
    if (row.background == BoxBackground::White)
        box->setPalette(paletteWith({{QPalette::Base, kWhite}}));
    // The field label names the box for screen readers, and tells them which label belongs to it.
    // Its caption has no '&', so the buddy adds no access key.
    box->setAccessibleName(QString::fromUtf8(row.caption));
    if (fieldLabel)
        fieldLabel->setBuddy(box);
    return box;
}

LabelSpec fieldLabelSpec(const PanelRowSpec& row) {
    return {row.labelNumber,   row.caption, kFieldLabelLeft, row.labelTop, kFieldLabelWidth,
            kFieldLabelHeight, kYellow,     kWindowFont,     Align::Right, row.labelTabIndex};
}

} // namespace vostrel
