#pragma once

class QWidget;

namespace vostrel {

// The window on a page of any size: the page sizes Qt's screen to the largest that the screen holds with
// the window's proportions, and Qt scales the whole window to it, drawing it for that many device pixels.
// The window keeps its designed geometry in device-independent pixels; one factor scales all of it, and
// follows the screen when the browser window is resized, the device turned or the page zoomed.
// Call before the window is shown; `window` is at its designed size then.
void scaleWindowToCanvas(QWidget& window);

} // namespace vostrel
