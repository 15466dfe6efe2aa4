#pragma once

#include <QString>

#include <functional>

namespace vostrel {

class Form1;
class ProgramControl;

// What a click handler is given: the window, and the means to end the program.
struct ClickContext {
    Form1& window;
    ProgramControl& program;
};

// Returns 0 for success. Element handlers throw SelectionError when a detail box refuses its text.
using ClickHandler = std::function<int(ClickContext&)>;

// The handler that bears this name ("Command7_Click"), or nullptr when there is none.
const ClickHandler* findClickHandler(const QString& name);

} // namespace vostrel
