#include "startup.h"

#include "click_dispatch.h"
#include "form1.h"
#include "program_control.h"
#include "window_font.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

namespace vostrel {

void configureApplication() {
    // The button faces take their category colours with a raised bevel only in this style.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installWindowFontSubstitute();
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    window.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), screen->availableGeometry()));
}

int runVostrel() {
    // Qt is given the program's name alone, so nothing on the command line changes the window.
    static char programName[] = "vostrel";
    static char* arguments[] = {programName, nullptr};
    static int argumentCount = 1;
    QApplication application(argumentCount, arguments);
    configureApplication();

    Form1 window;
    ApplicationControl control;
    ClickDispatch dispatch(window, control);
    centreOnScreen(window);
    window.show();
    if (QWidget* first = window.firstInTabOrder())
        first->setFocus();
    return QApplication::exec();
}

} // namespace vostrel
