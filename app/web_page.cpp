#include "web_page.h"

#include "accessibility/page_mirror_dom.h"

#include <QWidget>

#include <emscripten.h>

namespace vostrel {

void showOnWebPage(QWidget& window) {
    // Full screen is what Qt for the web calls filling the canvas: the window's client area and nothing else.
    window.showFullScreen();
}

void endWebProgram(int exitStatus) {
    takeMirrorOffPage();
    emscripten_force_exit(exitStatus);
}

} // namespace vostrel
