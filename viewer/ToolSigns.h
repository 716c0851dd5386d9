#pragma once
// The signs of the viewer's tools, drawn by the program in the theme's text
// colour at every scale, so that they read alike in light and dark themes
// and show what each tool does.

#include <wx/bmpbndl.h>

namespace pw {

// The sign of a FolioToolId, at 16 pixels and at twice and one and a half
// times that; an empty bundle for an id without one.
wxBitmapBundle ToolSign(int toolId);

}  // namespace pw
