#pragma once
// The application object: shows the main window modally and ends the
// program when it closes.

#include <wx/app.h>

namespace pw {

class CPagewrightApp : public wxApp {
public:
    // Selects the message language and runs the main window. Always false,
    // so that no event loop follows the closed window.
    bool OnInit() override;

    // A handler that runs out of memory (a page too large to turn, zoom or
    // copy) leaves the window as it was; the window goes on.
    bool OnExceptionInMainLoop() override;

    // True once OnInit has run the main window; the program's exit code tells
    // a run of the window (0) from a toolkit that could not start.
    static bool RanMainWindow();
};

}  // namespace pw

wxDECLARE_APP(pw::CPagewrightApp);
