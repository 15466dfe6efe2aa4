#pragma once

class QWidget;

namespace vostrel {

// The program on a web page: the page's canvas is the screen, sized by the page to the window's client area.

// Shows the window filling the canvas, without the title bar and frame that Qt for the web draws around
// other windows.
void showOnWebPage(QWidget& window);

// Ends the program: the event loop of the web never returns, so the program exits from here, and the
// page, told so, shows that it has ended.
[[noreturn]] void endWebProgram(int exitStatus);

} // namespace vostrel
