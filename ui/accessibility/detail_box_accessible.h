#pragma once

namespace vostrel {

// Lets screen readers read each detail box (the window's line edits) through a text interface of
// this program's own. Qt's own for a line edit reports an empty text-attribute run at every offset;
// Orca splits a line along those runs and so cut the value one character short ("1107" read as "110",
// "2" not at all). Here one run covers the whole value, which has one font and colour throughout.
// Safe to call more than once; takes effect for boxes made afterwards.
void readDetailBoxesWhole();

} // namespace vostrel
