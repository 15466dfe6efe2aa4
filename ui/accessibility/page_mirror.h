#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace vostrel {

class Form1;

// One control of the window as a page's document shows it to assistive technology.
struct MirrorNode {
    enum class Kind { Button, TextField, Text };

    Kind kind;
    QString id;          // the control's object name ("Command11", "Text3", "Label9")
    QString name;        // what it is read as: "Na Sodium", a box's field label, a caption
    QString description; // an element button's Thai state
    QString value;       // a box's whole text
    QString labelledBy;  // a box's field label, by id
    QRect rect;          // where the control is drawn, in screen coordinates
};

// The window retold for a document that has no other way to know it: Qt for the web draws every control
// into one canvas and gives the page no accessibility tree. Everything here comes from what Qt's
// accessibility interfaces say of each control (role, name, description, value, where it stands), so
// the page reads the same names as Orca and Narrator. The nodes run as a reader meets them: the title,
// captions and legend first, then every control in the window's tab order, each box after its label.
// The mirror follows the window (the focus, the boxes' texts, each selection) and takes the page's
// part back in: a node focused, activated or typed at acts on its control.
class PageMirror : public QObject {
    Q_OBJECT

public:
    explicit PageMirror(Form1& window);

    const std::vector<MirrorNode>& nodes() const { return nodes_; }
    // Takes every node's rect afresh from its control, where the window now stands on the screen.
    void updateRects();
    // The node of the control that has Qt's focus; empty when the focus is on none of them.
    QString focusedId() const;

    // The page's user moved to a node: the focus goes to its control.
    void focusFromPage(const QString& id);
    // The page's user activated a node: a button is clicked, as by the mouse.
    void activateFromPage(const QString& id);
    // A key pressed or released on the page (its DOM name: "Tab", "ArrowLeft", "a") goes to the control
    // with the focus, as the canvas would pass it on. False when the key is none of those the window
    // uses, or nothing has the focus: the page then keeps it.
    bool keyFromPage(const QString& domKey, Qt::KeyboardModifiers modifiers, bool released);

signals:
    void focusMoved(const QString& id);
    void valueChanged(const QString& id, const QString& value);
    // A box's caret or selection moved (start == end without a selection), for a reader to read from.
    void caretMoved(const QString& id, int start, int end);
    void geometryChanged(); // the window moved or changed size: every node's rect with it
    // A selection, told once: "Sodium, 11. เลขอะตอม 11, ..." (a polite live region's text).
    void announced(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addNode(QWidget* control);
    void followFocus(QWidget* now);
    void announceSelection();
    QWidget* controlOf(const QString& id) const;
    MirrorNode* nodeOf(const QString& id);

    Form1& window_;
    std::vector<MirrorNode> nodes_;
    std::vector<QPointer<QWidget>> controls_; // beside nodes_
};

} // namespace vostrel
