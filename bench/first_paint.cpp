// The program itself, ended as soon as its window has been painted in full for the first time: what
// ./bench.sh runs under callgrind to count the instructions from exec to the first complete paint.
// The count is deterministic where a stopwatch is not (QT_HASH_SEED=0 keeps Qt's hashing the same).
#include "startup.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdlib>

namespace {

// The whole window, its children included, is painted in one pass of the backing store that starts
// with the top-level window; the end comes queued behind that pass, once it has been flushed.
class EndAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow() && !ending_) {
            ending_ = true;
            QMetaObject::invokeMethod(
                this, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool ending_ = false;
};

void watchForFirstPaint() {
    QCoreApplication::instance()->installEventFilter(new EndAfterFirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForFirstPaint)

int main() {
    return vostrel::runVostrel();
}
