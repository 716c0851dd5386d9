#include "platform/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/DebugTrace.h"
#include "platform/WideText_win32.h"

namespace pw {

int ShellOpen(const std::string& target) {
    const std::string argument = ShellOpenArgument(target);
    if (argument.empty())
        return kShellOpenFileNotFound;
    // The shell's own opener: the program associated with the file type, or
    // the default browser or mail program for an address. Its result is a
    // number above 32 on success, else the failure code.
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", Widen(argument).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > kShellOpenFailureLimit)
        return kShellOpenSuccess;
    DebugTrace("the shell could not open " + target + " (" + std::to_string(result) + ")");
    switch (result) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return kShellOpenFileNotFound;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return kShellOpenNoAssociation;
    default:
        return kShellOpenUnknownFailure;
    }
}

}  // namespace pw
