#include "platform/ShellOpen.h"

#include <cctype>
#include <filesystem>

#include "platform/Paths.h"

namespace pw {

bool IsAddress(const std::string& target) {
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0])))
        return false;
    for (std::size_t i = 1; i < target.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (c == ':')
            return i >= 2;  // a one-letter scheme would be a drive letter
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

std::string ShellOpenArgument(const std::string& target) {
    if (target.empty())
        return std::string();
    if (IsAddress(target))
        return target;
    if (!PathExists(target))
        return std::string();
    // Made absolute, a path can never be taken for an option.
    const std::string absolute = AbsolutePath(target);
    return FileSystemPath(absolute).is_absolute() ? absolute : std::string(".") + kPathSeparator + target;
}

}  // namespace pw
