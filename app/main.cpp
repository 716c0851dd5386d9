// The program pagewright.

#include "app/CPagewrightApp.h"
#include "mainwnd/CommandLine.h"
#include "platform/ProgramFolder.h"
#include "platform/TempFiles.h"
#include "platform/ProgramArguments.h"

#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(pw::CPagewrightApp);

int main(int argc, char** argv) {
    pw::RememberExecutablePath();
    pw::RemoveStaleTemporaries();
    // UTF-8 on every system (main's argv on Windows is in the ANSI code page).
    const std::vector<std::string> arguments = pw::ProgramArguments(argc, argv);
    std::vector<const char*> texts;
    for (const std::string& a : arguments)
        texts.push_back(a.c_str());
    pw::SetProgramArguments(static_cast<int>(texts.size()), texts.data());
    wxEntry(argc, argv);
    // The application object ends the program by declining to run an event
    // loop after its window has closed; that is a normal end.
    return pw::CPagewrightApp::RanMainWindow() ? 0 : 1;
}
