#include "web_touch.h"

#include "form1.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGestureEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTapAndHoldGesture>
#include <QToolTip>

namespace vostrel {
namespace {

class TouchAnswers : public QObject {
public:
    explicit TouchAnswers(Form1& window)
        : QObject(&window) {
        for (int n = 1; n < Form1::kButtonCount; ++n) {
            QPushButton* button = window.command(n);
            if (!button || button->toolTip().isEmpty())
                continue;
            // Qt's own recogniser: a press held still (40 pixels of play) until its timeout.
            button->grabGesture(Qt::TapAndHoldGesture);
            button->installEventFilter(this);
        }
        for (int k = 1; k <= Form1::kTextCount; ++k)
            if (QLineEdit* box = window.text(k))
                box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Gesture)
            return held(static_cast<QWidget*>(watched), static_cast<QGestureEvent*>(event));
        // A box tapped: the keyboard comes up with the focus, where the mouse's first click only focuses.
        if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QLineEdit*>(watched) &&
            static_cast<QMouseEvent*>(event)->source() == Qt::MouseEventSynthesizedByQt)
            QGuiApplication::inputMethod()->show();
        return QObject::eventFilter(watched, event);
    }

private:
    static bool held(QWidget* button, QGestureEvent* event) {
        QGesture* gesture = event->gesture(Qt::TapAndHoldGesture);
        if (!gesture)
            return false;
        event->accept(gesture);
        if (gesture->state() == Qt::GestureFinished) {
            // Above the button, clear of the finger that covers it. Qt places a tooltip that far below
            // the point it is given (16 pixels), and the tip is a line of its font high.
            const int tipHeight = QFontMetrics(QToolTip::font()).height() + 8;
            QToolTip::showText(button->mapToGlobal(QPoint(0, -16 - tipHeight)), button->toolTip(), button);
        }
        return true;
    }
};

} // namespace

void answerTouch(Form1& window) {
    new TouchAnswers(window);
}

} // namespace vostrel
