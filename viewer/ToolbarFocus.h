#pragma once
// The viewer's tools within reach of the keyboard.

class wxToolBar;

namespace pw {

// Tab comes to the toolbar's tools (the arrow keys go from tool to tool,
// Space presses one), as it comes to every other control of the window.
void LetToolsTakeFocus(wxToolBar* toolbar);

// Gives the keyboard's focus to the first tool that can be used; false when
// there is none (or the toolbar's tools take no focus of their own).
bool FocusFirstTool(wxToolBar* toolbar);

}  // namespace pw
