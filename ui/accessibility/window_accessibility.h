#pragma once

namespace vostrel {

// Lets the accessibility layer present Form1 as a window (a frame named by its title, as screen readers
// expect of a top-level window) rather than as the bare client area Qt makes of a plain QWidget.
// Safe to call more than once; takes effect for windows made afterwards.
void presentForm1AsWindow();

} // namespace vostrel
