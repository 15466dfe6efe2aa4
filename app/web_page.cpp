#include "web_page.h"

#include "accessibility/page_mirror_dom.h"
#include "form1.h"
#include "web_scale.h"
#include "web_touch.h"

#include <emscripten.h>

namespace vostrel {

void showOnWebPage(Form1& window) {
    scaleWindowToCanvas(window);
    answerTouch(window);
    // Full screen is what Qt for the web calls filling its screen on the page: the window's client area and
    // nothing else.
    window.showFullScreen();
}

void endWebProgram(int exitStatus) {
    takeMirrorOffPage();
    emscripten_force_exit(exitStatus);
}

} // namespace vostrel
