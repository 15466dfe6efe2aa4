#include "web_scale.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

#include <algorithm>

namespace vostrel {
namespace {

// The canvas is Qt's screen, measured in CSS pixels. Its scale factor is the one that Qt's high-DPI
// scaling applies to a screen (as a desktop's 150 % does): the window stays 792 x 416 device-independent
// pixels, its backing store gets the canvas's device pixels, and text is drawn by FreeType at that size.
class CanvasScale : public QObject {
public:
    explicit CanvasScale(QWidget& window)
        : QObject(&window)
        , window_(window)
        , designed_(window.size()) {}

    void follow(QScreen* screen) {
        if (!screen)
            return;
        // The canvas's new size reaches the screen, and the window, with the old factor; the factor follows
        // once Qt has taken in both, or the window's own change would come after and undo the refit.
        connect(screen, &QScreen::geometryChanged, this, &CanvasScale::fit, Qt::QueuedConnection);
        fit();
    }

private:
    void fit() {
        QScreen* screen = window_.screen();
        QPlatformScreen* canvas = screen ? screen->handle() : nullptr;
        if (!canvas)
            return;
        const QSize css = canvas->geometry().size();
        if (css.isEmpty() || designed_.isEmpty())
            return;
        // The smaller of the two: the window as a whole stays inside the canvas.
        const qreal scale =
            std::min(qreal(css.width()) / designed_.width(), qreal(css.height()) / designed_.height());
        if (qFuzzyCompare(scale, scale_))
            return;
        scale_ = scale;
        QHighDpiScaling::setScreenFactor(screen, scale);
        // The full-screen window takes the screen's new logical size, which is its designed size again,
        // and is drawn afresh for the new number of device pixels.
        window_.setGeometry(screen->geometry());
        window_.update();
    }

    QWidget& window_;
    const QSize designed_;
    qreal scale_ = 1;
};

// Qt 6.4's web platform tests whether a mouse event falls in a window by comparing the point in CSS
// pixels with the window's geometry in device-independent pixels, and drops the event when it does not:
// above 100 % the right and lower parts of the window would ignore the mouse. A window that holds the
// mouse grab is exempt from the test, and the positions it is given are right, so the window holds it.
// A popup (a box's context menu) takes the grab while open and releases it when it closes; the window
// takes it back then. Touches are found by another route, which is right at every scale.
class MouseHold : public QObject {
public:
    explicit MouseHold(QWidget& window)
        : QObject(&window)
        , window_(window) {
        qApp->installEventFilter(this);
        hold();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->windowType() == Qt::Popup)
            QTimer::singleShot(0, this, &MouseHold::hold); // after Qt has released the popup's grab
        return QObject::eventFilter(watched, event);
    }

private:
    void hold() {
        if (QWindow* window = window_.windowHandle(); window && window->isVisible())
            window->setMouseGrabEnabled(true);
    }

    QWidget& window_;
};

} // namespace

void scaleWindowToCanvas(QWidget& window) {
    (new CanvasScale(window))->follow(window.screen());
}

void keepMouseOnWindow(QWidget& window) {
    new MouseHold(window);
}

} // namespace vostrel
