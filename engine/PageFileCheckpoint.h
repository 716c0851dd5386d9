#pragma once
// The page files a split may add to its output folder, so that the pages of
// a split that was stopped half-way can be taken away again.

#include <set>
#include <string>

namespace pw {

class PageFileCheckpoint {
public:
    // Records the files in the output's folder whose names begin with the
    // output's base name (the prefix the split writes its pages under).
    explicit PageFileCheckpoint(const std::string& output);

    // Removes every file with that prefix that was not there when recorded.
    void RemoveNewPages() const;

private:
    std::set<std::string> Current() const;

    std::string folder_;
    std::string prefix_;
    std::set<std::string> before_;
};

}  // namespace pw
