#pragma once

#include "click_handlers.h"

#include <QObject>

namespace vostrel {

// Binds each button of the window to the handler that bears its name (Command7 to Command7_Click) and
// runs it on every click. An error escaping a handler is reported and ends the program, so that it
// never crosses Qt's event loop.
class ClickDispatch : public QObject {
    Q_OBJECT

public:
    // Exit status of the program after an error escaped a handler.
    static constexpr int kErrorExitStatus = 1;

    ClickDispatch(Form1& window, ProgramControl& program);
    int boundButtons() const { return bound_; }

private:
    void run(const QString& handlerName, const ClickHandler& handler);
    void fail(const QString& message);

    Form1& window_;
    ProgramControl& program_;
    int bound_ = 0;
};

} // namespace vostrel
