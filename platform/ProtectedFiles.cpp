#include "platform/ProtectedFiles.h"

#include <sys/stat.h>

#include <mutex>
#include <unordered_set>

#include "platform/Paths.h"

namespace pw {
namespace {

std::mutex g_mutex;
std::unordered_multiset<std::string> g_identities;
std::unordered_multiset<std::string> g_allowances;  // identity, a blank, the normal output path

std::string Identity(const struct stat& st)
{
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

template <class Set>
void EraseOne(Set& set, const std::string& value)
{
    if (const auto found = set.find(value); found != set.end())
        set.erase(found);
}

}  // namespace

ProtectedFiles::ProtectedFiles(const std::vector<std::string>& sources, const std::vector<std::string>& outputs)
{
    for (size_t i = 0; i < sources.size(); ++i) {
        struct stat st;
        if (::stat(sources[i].c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        identities_.push_back(Identity(st));
        struct stat out;
        if (i < outputs.size() && ::lstat(outputs[i].c_str(), &out) == 0 && S_ISREG(out.st_mode) &&
            Identity(out) == identities_.back())
            allowances_.push_back(identities_.back() + " " + NormalPath(outputs[i]));
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    g_identities.insert(identities_.begin(), identities_.end());
    g_allowances.insert(allowances_.begin(), allowances_.end());
}

ProtectedFiles::~ProtectedFiles()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const std::string& identity : identities_)
        EraseOne(g_identities, identity);
    for (const std::string& allowance : allowances_)
        EraseOne(g_allowances, allowance);
}

std::string ProtectedFiles::Refusal(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::string();
    const std::string identity = Identity(st);
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_identities.count(identity) == 0)
            return std::string();
        if (g_allowances.empty())
            return path + " is one of the files the batch reads";
    }
    const std::string allowance = identity + " " + NormalPath(path);
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_allowances.count(allowance) != 0 ? std::string() : path + " is one of the files the batch reads";
}

}  // namespace pw
