#include "engine/PageFileCheckpoint.h"

#include <dirent.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace pw {

PageFileCheckpoint::PageFileCheckpoint(const std::string& output)
{
    const PathParts parts = SplitPath(output);
    folder_ = parts.drive + parts.dir;
    prefix_ = parts.fname;
    before_ = Current();
}

std::set<std::string> PageFileCheckpoint::Current() const
{
    std::set<std::string> names;
    DIR* folder = ::opendir(folder_.empty() ? "." : folder_.c_str());
    if (folder == nullptr)
        return names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && name.compare(0, prefix_.size(), prefix_) == 0)
            names.insert(name);
    }
    ::closedir(folder);
    return names;
}

void PageFileCheckpoint::RemoveNewPages() const
{
    for (const std::string& name : Current()) {
        if (before_.count(name) == 0)
            ::unlink((folder_ + name).c_str());
    }
}

}  // namespace pw
