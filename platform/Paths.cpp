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

}  // namespace pw
