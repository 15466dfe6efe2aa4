#include "web_scale.h"

#include <QScreen>
#include <QWidget>

#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

#include <algorithm>

namespace vostrel {
namespace {

// Qt's screen is the page's element that holds the window, measured in CSS pixels. Its scale factor is the
// one that Qt's high-DPI scaling applies to a screen (as a desktop's 150 % does): the window stays 792 x 416
// device-independent pixels, its backing store gets the element's device pixels, and text is drawn by
// FreeType at that size.
class CanvasScale : public QObject {
public:
    explicit CanvasScale(QWidget& window)
        : QObject(&window)
        , window_(window)
        , designed_(window.size()) {}

    void follow(QScreen* screen) {
        if (!screen)
            return;
        // The element's new size reaches the screen, and the window, with the old factor; the factor follows
        // once Qt has taken in both, or the window's own change would come after and undo the refit.
        connect(screen, &QScreen::geometryChanged, this, &CanvasScale::fit, Qt::QueuedConnection);
        fit();
    }

private:
    void fit() {
        QScreen* screen = window_.screen();
        QPlatformScreen* element = screen ? screen->handle() : nullptr;
        if (!element)
            return;
        const QSize css = element->geometry().size();
        if (css.isEmpty() || designed_.isEmpty())
            return;
        // The smaller of the two: the window as a whole stays inside the element.
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

} // namespace

void scaleWindowToCanvas(QWidget& window) {
    (new CanvasScale(window))->follow(window.screen());
}

} // namespace vostrel
