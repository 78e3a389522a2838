#pragma once
// Scrolling a list of buttons in a scroll area to whole items.

class QScrollArea;

namespace ListScroll {

// The scroll position nearest to `position` at which no item of the list in
// `area` is cut at the visible top edge and the current item, the checked
// button nearest to that edge, is wholly in view. The visible edge is where
// the viewport is seen: a parent may cut off its top. When no position keeps
// the current item in view, the nearest that cuts no item; when none cuts no
// item, `position` itself.
int WholeItemPosition(const QScrollArea *area, int position);

}  // namespace ListScroll
