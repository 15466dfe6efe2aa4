#pragma once

#include "element_selection.h"

namespace vostrel {

class Form1;

// Element selection's view of Form1: box k is the line edit Text<k>.
class FormDetailWindow : public DetailWindow {
public:
    // Status of a write to a box that no longer exists.
    static constexpr int kBoxGone = -1;

    explicit FormDetailWindow(Form1& window)
        : window_(window) {}
    TextBoxRef textBox(int k) override;

private:
    Form1& window_;
};

} // namespace vostrel
