#include "platform/FileIdentity.h"

#include <sys/stat.h>

#include <unordered_map>

#include "platform/Paths.h"

namespace pw {

std::string FileIdentity(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0)
        return "inode:" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    return "path:" + NormalPath(path);
}

std::string FindOutputClash(const std::vector<std::string>& sources, const std::vector<std::string>& outputs)
{
    std::unordered_map<std::string, size_t> sourceOf;  // identity -> first entry reading it
    for (size_t i = 0; i < sources.size(); ++i)
        sourceOf.emplace(FileIdentity(sources[i]), i);
    std::unordered_map<std::string, size_t> writer;
    for (size_t i = 0; i < outputs.size() && i < sources.size(); ++i) {
        const std::string identity = FileIdentity(outputs[i]);
        if (const auto read = sourceOf.find(identity); read != sourceOf.end() && read->second != i &&
                                                       FileIdentity(sources[i]) != identity) {
            return "writing " + outputs[i] + " for " + sources[i] + " would overwrite " + sources[read->second] +
                   ", another file of the batch";
        }
        if (const auto [first, added] = writer.emplace(identity, i); !added) {
            return sources[first->second] + " and " + sources[i] + " would both be written to " + outputs[i];
        }
    }
    return std::string();
}

}  // namespace pw
