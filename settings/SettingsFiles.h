#pragma once
// Where the three settings stores live. Every caller forms the path anew, so
// a program folder that changes (tests) or becomes writable is followed.

#include <string>

namespace pw {

// "Pagewright.ini" beside the executable when that folder is writable,
// otherwise in the user's configuration folder.
std::string GetProgramSettingsPath();

// The application profile: the executable's base name with ".INI", in the
// user's configuration folder.
std::string GetAppProfilePath();

// The stand-in for the system's WIN.INI: "win.ini" in the user's
// configuration folder.
std::string GetWinIniPath();

}  // namespace pw
