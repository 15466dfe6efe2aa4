#pragma once

namespace vostrel {

class Form1;

// Puts the window's mirror into the page for assistive technology, as invisible elements laid over the
// canvas that Qt draws the window into: a button for each button, a read-only text field for each box
// labelled by its field label, the window's text, and a polite live region for each selection. The
// page's focus and Qt's move together; keys on the mirror go to the window as the canvas passes them on.
// Only for Qt for the web, whose canvas gives the page nothing to read.
void mirrorWindowIntoPage(Form1& window);

} // namespace vostrel
