// The program pagewright.

#include "app/CPagewrightApp.h"
#include "mainwnd/CommandLine.h"
#include "platform/ProgramFolder.h"
#include "platform/TempFiles.h"

wxIMPLEMENT_APP_NO_MAIN(pw::CPagewrightApp);

int main(int argc, char** argv) {
    pw::RememberExecutablePath();
    pw::RemoveStaleTemporaries();
    pw::SetProgramArguments(argc, argv);
    wxEntry(argc, argv);
    // The application object ends the program by declining to run an event
    // loop after its window has closed; that is a normal end.
    return pw::CPagewrightApp::RanMainWindow() ? 0 : 1;
}
