#pragma once

class QWidget;

namespace vostrel {

// Everything the window expects of the application, once the QApplication exists: the classic
// Windows look on every platform, US English, and the window font.
void configureApplication();

// Places a top-level window in the middle of the screen's available area.
void centreOnScreen(QWidget& window);

// The whole program: builds the window, shows it and runs the event loop. Returns the exit status.
int runVostrel();

} // namespace vostrel
