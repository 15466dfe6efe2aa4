#include "page_mirror.h"

#include "element_table.h"
#include "form1.h"
#include "selection_announcement.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace vostrel {
namespace {

// The keys the window uses besides typed characters, by the names a page's keyboard events give them.
struct PageKey {
    const char* domName;
    Qt::Key key;
    const char* text;
};

// clang-format off
constexpr PageKey kPageKeys[] = {
    {"Tab",        Qt::Key_Tab,       "\t"},
    {"Enter",      Qt::Key_Return,    "\r"},
    {" ",          Qt::Key_Space,     " "},
    {"ArrowLeft",  Qt::Key_Left,      ""},
    {"ArrowRight", Qt::Key_Right,     ""},
    {"ArrowUp",    Qt::Key_Up,        ""},
    {"ArrowDown",  Qt::Key_Down,      ""},
    {"Home",       Qt::Key_Home,      ""},
    {"End",        Qt::Key_End,       ""},
    {"Backspace",  Qt::Key_Backspace, "\b"},
    {"Delete",     Qt::Key_Delete,    "\x7f"},
    {"Escape",     Qt::Key_Escape,    "\x1b"},
};
// clang-format on

// The key and text Qt gives a key press, from its name on the page; nothing for a key the window
// has no use for (function keys, media keys, ...).
std::optional<std::pair<int, QString>> qtKey(const QString& domKey, Qt::KeyboardModifiers modifiers) {
    for (const PageKey& known : kPageKeys) {
        if (domKey != QLatin1String(known.domName))
            continue;
        if (known.key == Qt::Key_Tab && modifiers.testFlag(Qt::ShiftModifier))
            return std::pair{int(Qt::Key_Backtab), QString()}; // as every Qt platform reports Shift+Tab
        return std::pair{int(known.key), QString::fromLatin1(known.text)};
    }
    // A typed character is named by itself: one code point, a surrogate pair outside the first plane.
    const auto codePoints = domKey.toUcs4();
    if (codePoints.size() != 1 || !QChar::isPrint(codePoints.front()))
        return std::nullopt;
    return std::pair{int(QChar::toUpper(codePoints.front())), domKey};
}

MirrorNode::Kind kindOf(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
        return MirrorNode::Kind::Button;
    case QAccessible::EditableText:
        return MirrorNode::Kind::TextField;
    default:
        return MirrorNode::Kind::Text;
    }
}

bool isMirrored(QAccessible::Role role) {
    return role == QAccessible::Button || role == QAccessible::EditableText ||
           role == QAccessible::StaticText;
}

// The field label that names a box, as the box reports it.
QWidget* labelOf(QAccessibleInterface* box) {
    const auto labels = box->relations(QAccessible::Label);
    return labels.isEmpty() ? nullptr : qobject_cast<QWidget*>(labels.front().first->object());
}

} // namespace

PageMirror::PageMirror(Form1& window)
    : QObject(&window)
    , window_(window) {
    // Controls that take the focus, in tab order.
    std::vector<QWidget*> chain;
    QWidget* const first = window.firstInTabOrder();
    for (QWidget* control = first; control;) {
        if (control->parentWidget() == &window && (control->focusPolicy() & Qt::TabFocus))
            chain.push_back(control);
        control = control->nextInFocusChain();
        if (control == first)
            break;
    }

    // Text that names a box is read with the box; the rest of the window's text comes first.
    std::set<QWidget*> fieldLabels;
    for (QWidget* control : chain)
        if (QWidget* label = labelOf(QAccessible::queryAccessibleInterface(control)))
            fieldLabels.insert(label);
    QAccessibleInterface* self = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; i < self->childCount(); ++i) {
        QAccessibleInterface* child = self->child(i);
        auto* control = qobject_cast<QWidget*>(child->object());
        if (control && child->role() == QAccessible::StaticText && !fieldLabels.count(control))
            addNode(control);
    }
    for (QWidget* control : chain) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
        if (QWidget* label = labelOf(iface)) {
            addNode(label);
            addNode(control);
            nodes_.back().labelledBy = label->objectName();
        } else {
            addNode(control);
        }
    }

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { followFocus(now); });
    for (int n = kFirstElement; n <= kLastElement; ++n)
        if (QPushButton* button = window.command(n))
            // Told once the click has been handled and the boxes hold the new element, whoever else
            // listens to the click.
            connect(button, &QPushButton::clicked, this, &PageMirror::announceSelection,
                    Qt::QueuedConnection);
    window.installEventFilter(this);
}

void PageMirror::addNode(QWidget* control) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    if (!iface || !isMirrored(iface->role()))
        return;
    const MirrorNode::Kind kind = kindOf(iface->role());
    nodes_.push_back({kind, control->objectName(), iface->text(QAccessible::Name),
                      iface->text(QAccessible::Description), QString(), QString(), iface->rect()});
    controls_.emplace_back(control);
    if (kind != MirrorNode::Kind::TextField)
        return;
    nodes_.back().value = iface->text(QAccessible::Value);
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            const QString id = box->objectName();
            MirrorNode* node = nodeOf(id);
            QAccessibleInterface* boxIface = QAccessible::queryAccessibleInterface(box);
            if (!node || !boxIface)
                return;
            node->value = boxIface->text(QAccessible::Value);
            emit valueChanged(id, node->value);
        });
        const auto caret = [this, box] {
            const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
            const int end = box->hasSelectedText() ? box->selectionEnd() : start;
            emit caretMoved(box->objectName(), start, end);
        };
        connect(box, &QLineEdit::cursorPositionChanged, this, caret);
        connect(box, &QLineEdit::selectionChanged, this, caret);
    }
}

QString PageMirror::focusedId() const {
    const QWidget* focused = QApplication::focusWidget();
    const auto found = std::find(controls_.begin(), controls_.end(), focused);
    return focused && found != controls_.end() ? (*found)->objectName() : QString();
}

void PageMirror::focusFromPage(const QString& id) {
    QWidget* control = controlOf(id);
    if (control && control->focusPolicy() != Qt::NoFocus && QApplication::focusWidget() != control)
        control->setFocus(Qt::OtherFocusReason);
}

void PageMirror::activateFromPage(const QString& id) {
    auto* button = qobject_cast<QPushButton*>(controlOf(id));
    if (!button)
        return;
    focusFromPage(id); // as a click gives it the focus
    button->click();
}

bool PageMirror::keyFromPage(const QString& domKey, Qt::KeyboardModifiers modifiers, bool released) {
    // Combinations with Ctrl, Alt or the system key belong to the browser and the screen reader.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const auto key = qtKey(domKey, modifiers);
    QWidget* target = controlOf(focusedId());
    if (!key || !target)
        return false;
    QKeyEvent event(released ? QEvent::KeyRelease : QEvent::KeyPress, key->first, modifiers, key->second);
    QCoreApplication::sendEvent(target, &event);
    return true;
}

bool PageMirror::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &window_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
        updateRects();
        emit geometryChanged();
    }
    return QObject::eventFilter(watched, event);
}

void PageMirror::updateRects() {
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(controls_[i]))
            nodes_[i].rect = iface->rect();
}

void PageMirror::followFocus(QWidget* now) {
    if (std::find(controls_.begin(), controls_.end(), now) != controls_.end())
        emit focusMoved(now->objectName());
}

void PageMirror::announceSelection() {
    const SelectionSummary told = describeSelection(window_);
    emit announced(told.summary + QLatin1String(". ") + told.details);
}

QWidget* PageMirror::controlOf(const QString& id) const {
    if (id.isEmpty())
        return nullptr;
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&id](const QPointer<QWidget>& c) { return c && c->objectName() == id; });
    return found == controls_.end() ? nullptr : found->data();
}

MirrorNode* PageMirror::nodeOf(const QString& id) {
    const auto found =
        std::find_if(nodes_.begin(), nodes_.end(), [&id](const MirrorNode& node) { return node.id == id; });
    return found == nodes_.end() ? nullptr : &*found;
}

} // namespace vostrel
