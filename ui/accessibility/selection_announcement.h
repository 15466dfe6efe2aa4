#pragma once

#include <QString>

namespace vostrel {

class Form1;

// What a selection tells: the element's English name and atomic number ("Sodium, 11"), and every box
// with its field label, top to bottom ("เลขอะตอม 11, เลขออกซิเดชั่น 1, ...").
struct SelectionSummary {
    QString summary;
    QString details;
};

// What the detail panel shows now, in those words.
SelectionSummary describeSelection(const Form1& window);

// Tells screen readers what the detail panel shows now, once, without moving the focus: a notification
// named by the element's English name and atomic number ("Sodium, 11") and described by every box with
// its field label, top to bottom. The notification is no widget: nothing on the screen changes.
// Orca speaks a notification as it is shown; the boxes' own text changes it leaves unspoken, since the
// focus is not on them. On Windows the summary is also raised as the window's new value, the form in
// which Qt's UI Automation bridge passes it on as a notification.
void announceSelection(Form1& window);

} // namespace vostrel
