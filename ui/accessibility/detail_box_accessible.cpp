#include "detail_box_accessible.h"

#include "form1.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace vostrel {
namespace {

class DetailBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit DetailBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? box()->text() : QAccessibleWidget::text(kind);
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind == QAccessible::Value)
            box()->setText(text);
        else
            QAccessibleWidget::setText(kind, text);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.selectableText = true;
        return state;
    }

    // The text: the box holds one line in one font and colour, so the whole value is one run.
    QString text(int startOffset, int endOffset) const override {
        return startOffset < endOffset ? box()->text().mid(startOffset, endOffset - startOffset) : QString();
    }
    int characterCount() const override { return int(box()->text().size()); }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int count = characterCount();
        const bool inside = offset >= 0 && offset < count;
        *startOffset = inside ? 0 : offset;
        *endOffset = inside ? count : offset;
        return QString();
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        const bool selected = selectionIndex == 0 && box()->hasSelectedText();
        *startOffset = selected ? box()->selectionStart() : 0;
        *endOffset = selected ? box()->selectionEnd() : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0)
            box()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0)
            box()->setSelection(startOffset, endOffset - startOffset);
    }

    // Where a character stands: the box tells where its caret is (in the middle of the rectangle it
    // gives for it), and the character lies as far from the caret as the text between them is wide.
    QRect characterRect(int offset) const override {
        const QString value = box()->text();
        if (offset < 0 || offset >= value.size())
            return {};
        const QFontMetrics metrics(box()->font());
        const int caret = box()->cursorPosition();
        const QRect caretRect = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int caretX = caretRect.x() + caretRect.width() / 2;
        const int x = offset >= caret ? caretX + metrics.horizontalAdvance(value.mid(caret, offset - caret))
                                      : caretX - metrics.horizontalAdvance(value.mid(offset, caret - offset));
        const QPoint topLeft = box()->mapToGlobal(QPoint(x, caretRect.y()));
        return {topLeft, QSize(metrics.horizontalAdvance(value.mid(offset, 1)), caretRect.height())};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        box()->setCursorPosition(endIndex); // the end in view first, then the start, as far as both fit
        box()->setCursorPosition(startIndex);
    }

    // Editing, as a user may type into a box.
    void deleteText(int startOffset, int endOffset) override {
        box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override {
        box()->setText(box()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* detailBoxAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(QLineEdit::staticMetaObject.className()))
        return nullptr;
    auto* box = qobject_cast<QLineEdit*>(object);
    return box && qobject_cast<Form1*>(box->parent()) ? new DetailBoxAccessible(box) : nullptr;
}

} // namespace

void readDetailBoxesWhole() {
    QAccessible::installFactory(detailBoxAccessible); // Qt ignores a factory installed twice
}

} // namespace vostrel
