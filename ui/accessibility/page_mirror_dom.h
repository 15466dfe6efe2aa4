#pragma once

namespace vostrel {

class Form1;

// Puts the window's mirror into the page for assistive technology, as invisible elements laid over the
// window where Qt draws it: a button for each button, a read-only text field for each box
// labelled by its field label, the window's text, and a polite live region for each selection. The
// page's focus and Qt's move together; keys on the mirror go to the window as Qt passes them on.
// Only for Qt for the web, whose window gives the page nothing to read.
void mirrorWindowIntoPage(Form1& window);

// Takes the mirror off the page when the program ends, which on the web leaves no destructor to run: the
// page that says so is then all that a screen reader finds.
void takeMirrorOffPage();

} // namespace vostrel
