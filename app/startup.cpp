#include "startup.h"

#include "click_dispatch.h"
#include "fontconfig_warm_up.h"
#include "form1.h"
#include "program_control.h"
#include "window_font.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#ifdef Q_OS_WASM
#include "accessibility/page_mirror_dom.h"
#include "web_page.h"
#endif

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
    // Scale by the screen's exact factor, 125 % and 150 % included: the layout is measured in twips, a
    // physical length, and a rounded factor would draw it a fifth too small or a third too large. This
    // is Qt 6's default, stated here because the window is drawn for it (see Form1::paintEvent).
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // The menu entry's name: Wayland compositors match the window to org.vostrel.Vostrel.desktop by it
    // (the window's app id), for its icon in docks and task switchers. X11 matches by the WM_CLASS
    // "vostrel" instead, which Qt takes from the program's name and the menu entry names as well.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vostrel.Vostrel"));
    FontconfigWarmUp fontconfig;
    QApplication application(argumentCount, arguments);
    fontconfig.wait();
    configureApplication();

    Form1 window;
    ApplicationControl control;
    ClickDispatch dispatch(window, control);
#ifdef Q_OS_WASM
    mirrorWindowIntoPage(window); // the page's screen readers see nothing of the window itself
    showOnWebPage(window);
#else
    centreOnScreen(window);
    window.show();
#endif
    if (QWidget* first = window.firstInTabOrder())
        first->setFocus();
    return QApplication::exec();
}

} // namespace vostrel
