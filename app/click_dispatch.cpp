#include "click_dispatch.h"

#include "element_selection.h"
#include "form1.h"
#include "program_control.h"

#include <QPushButton>

namespace vostrel {

ClickDispatch::ClickDispatch(Form1& window, ProgramControl& program)
    : QObject(&window)
    , window_(window)
    , program_(program) {
    const auto buttons = window.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QPushButton* button : buttons) {
        const QString name = button->objectName() + QLatin1String("_Click");
        const ClickHandler* handler = findClickHandler(name);
        if (!handler)
            continue;
        connect(button, &QPushButton::clicked, this, [this, name, handler] { run(name, *handler); });
        ++bound_;
    }
}

void ClickDispatch::run(const QString& handlerName, const ClickHandler& handler) {
    ClickContext context{window_, program_};
    try {
        handler(context);
    } catch (const SelectionError& error) {
        fail(tr("Run-time error in %1: the box %2 could not take its text (status %3).")
                 .arg(handlerName, QString::fromStdString(error.control()))
                 .arg(error.status()));
    } catch (const std::exception& error) {
        fail(tr("Run-time error in %1: %2").arg(handlerName, QString::fromUtf8(error.what())));
    }
}

void ClickDispatch::fail(const QString& message) {
    program_.reportError(&window_, window_.windowTitle(),
                         message + QLatin1Char('\n') + tr("Vostrel will close."));
    program_.endProgram(kErrorExitStatus);
}

} // namespace vostrel
