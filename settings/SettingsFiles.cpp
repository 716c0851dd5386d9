#include "settings/SettingsFiles.h"

#include "platform/Paths.h"
#include "platform/ProgramFolder.h"
#include "platform/UserFolders.h"

namespace pw {

std::string GetProgramSettingsPath()
{
    const std::string programFolder = GetProgramFolder();
    if (!programFolder.empty() && IsFolderWritable(programFolder))
        return programFolder + "Pagewright.ini";
    return GetUserConfigFolder() + "Pagewright.ini";
}

std::string GetAppProfilePath()
{
    std::string base = SplitPath(GetExecutablePath()).fname;
    if (base.empty())
        base = "Pagewright";
    return GetUserConfigFolder() + base + ".INI";
}

std::string GetWinIniPath()
{
    return GetUserConfigFolder() + "win.ini";
}

}  // namespace pw
