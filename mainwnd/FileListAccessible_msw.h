#pragma once
// What a screen reader finds in the Windows file list: a list whose
// children are its rows, each a list item named by its path, described by
// its other cells, with its selected and focused state and its place on
// the screen. The list's own name and description are those given through
// SetAccessibleName and SetAccessibleDescription.

class wxAccessible;

namespace pw {

class CFileListCtrl;

// For wxWindow::SetAccessible, which owns the result.
wxAccessible* NewFileListAccessible(CFileListCtrl* list);

}  // namespace pw
