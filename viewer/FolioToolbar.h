#pragma once
// The viewer's toolbar. Its order is part of the viewer's contract with a
// host: index 0 (open) and 1 (close) and everything from index 16 on are
// tools a host may take away, indices 2 to 15 are those for looking at
// pages.

#include <wx/toolbar.h>

namespace pw {

enum FolioToolId {
    kToolOpen = wxID_HIGHEST + 700,
    kToolClose,
    kToolFirstPage,
    kToolPreviousPage,
    kToolPageNumber,
    kToolNextPage,
    kToolLastPage,
    kToolZoomOut,
    kToolZoomIn,
    kToolFitPage,
    kToolFitWidth,
    kToolActualSize,
    kToolRotateLeft,
    kToolRotateRight,
    kToolCopyPage,
};

// Builds the toolbar with its 17 tools (two of them separators) in order,
// each with a tooltip; the page number is a text field.
wxToolBar* BuildFolioToolbar(wxWindow* parent);

}  // namespace pw
