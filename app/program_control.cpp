#include "program_control.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QtGlobal>
#ifdef Q_OS_WASM
#include "web_page.h"
#endif

namespace vostrel {

void ApplicationControl::endProgram(int exitStatus) {
#ifdef Q_OS_WASM
    endWebProgram(exitStatus);
#else
    QCoreApplication::exit(exitStatus);
#endif
}

void ApplicationControl::reportError(QWidget* window, const QString& title, const QString& message) {
    QMessageBox::critical(window, title, message);
}

} // namespace vostrel
