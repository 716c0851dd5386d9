#include "ui/OpenInFileManager.h"

#include "ui/PathText.h"

#include <wx/utils.h>

namespace pw {

namespace {

FileManagerLauncher& Launcher() {
    static FileManagerLauncher launcher;
    return launcher;
}

}  // namespace

void SetFileManagerLauncher(FileManagerLauncher launcher) { Launcher() = std::move(launcher); }

bool OpenInFileManager(const std::string& folder) {
    if (Launcher())
        return Launcher()(folder);
    return wxLaunchDefaultApplication(PathToWx(folder));
}

}  // namespace pw
