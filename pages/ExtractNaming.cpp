#include "pages/ExtractNaming.h"

#include "platform/Paths.h"

namespace pw {

std::string ExtractOutputPath(const std::string& folder, const std::string& source,
                              const std::string& rangeText, std::string* refusal)
{
    if (folder.empty()) {
        if (refusal != nullptr)
            *refusal = "no output folder";
        return std::string();
    }
    std::string range;
    for (char c : rangeText) {
        if (c != ' ')
            range += c;
    }
    // Both separators: a name made on one platform may be used on the other.
    if (range.find_first_of("/\\") != std::string::npos) {
        if (refusal != nullptr)
            *refusal = "the page range \"" + rangeText + "\" holds a path separator";
        return std::string();
    }
    const PathParts parts = SplitPath(source);
    return WithTrailingSeparator(folder) + parts.fname + "-" + range + parts.ext;
}

}  // namespace pw
