#include "program_control.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vostrel {

void ApplicationControl::endProgram(int exitStatus) {
    QCoreApplication::exit(exitStatus);
}

void ApplicationControl::reportError(QWidget* window, const QString& title, const QString& message) {
    QMessageBox::critical(window, title, message);
}

} // namespace vostrel
