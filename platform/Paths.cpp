#include "platform/Paths.h"

namespace pw {

void SplitFileName(const std::string& name, PathParts& parts)
{
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) {
        parts.fname = name;
        parts.ext.clear();
    } else {
        parts.fname = name.substr(0, dot);
        parts.ext = name.substr(dot);
    }
}

void SplitFolderAndName(const std::string& path, const char* separators, PathParts& parts)
{
    const auto slash = path.find_last_of(separators);
    if (slash == std::string::npos) {
        SplitFileName(path, parts);
    } else {
        parts.dir = path.substr(0, slash + 1);
        SplitFileName(path.substr(slash + 1), parts);
    }
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(FileSystemPath(path), error);
    return error ? path : PathText(absolute);
}

std::string NormalPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(FileSystemPath(path), error);
    if (error)
        return path;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return PathText(error ? absolute.lexically_normal() : canonical);
}

}  // namespace pw
