#pragma once

namespace vostrel {

class Form1;

// The program on a web page: Qt's screen is an element of the page, sized by the page to the largest that
// fits the window's proportions.

// Shows the window filling the screen, scaled to it, without the title bar and frame that Qt for the web
// draws around other windows, and answering the finger as well as the mouse.
void showOnWebPage(Form1& window);

// Ends the program: the event loop of the web never returns, so the program exits from here, and the
// page, told so, shows that it has ended.
[[noreturn]] void endWebProgram(int exitStatus);

} // namespace vostrel
