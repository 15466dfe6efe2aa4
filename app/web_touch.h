#pragma once

namespace vostrel {

class Form1;

// The window under a finger. A tap is a click already (Qt turns a touch that no control takes into the
// mouse's press and release). What a finger cannot do otherwise:
// - a long press on an element button shows its state tooltip, which a mouse shows by resting on the
//   button; lifting the finger or touching another control takes it away;
// - a tap on a detail box brings up the on-screen keyboard at once, not only at a second tap.
void answerTouch(Form1& window);

} // namespace vostrel
