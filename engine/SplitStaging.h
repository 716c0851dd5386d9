#pragma once
// Where a split writes its page files: a private folder beside the entry's
// split folder, which takes the split folder's place once the split has
// succeeded. The page files so appear under their names all at once and
// complete, or not at all; a killed split leaves only the private folder,
// which the next start removes.

#include <string>
#include <vector>

namespace pw {

class SplitStaging {
public:
    // output: the entry's output path (its split folder, a separator, the
    // base name the page files begin with).
    explicit SplitStaging(const std::string& output);
    // Removes the private folder with what is in it, unless committed, and
    // the split folder when it is left empty (no page file was put there,
    // or they were taken back).
    ~SplitStaging();
    SplitStaging(const SplitStaging&) = delete;
    SplitStaging& operator=(const SplitStaging&) = delete;

    // False when the private folder cannot be made; reason() says why.
    bool ok() const { return !folder_.empty(); }
    const std::string& reason() const { return reason_; }

    // The output path to give the split: the base name in the private folder.
    const std::string& output() const { return output_; }

    // Puts the page files into the split folder: the private folder takes
    // its place when it is empty, otherwise each page file moves in on its
    // own. Refused when the split folder has become a link or a mount
    // point, or a page file would take the place of a file the batch reads.
    // False with reason() set; no page file of this split is left in the
    // split folder then.
    bool Commit();

    // The split folder of an entry that never ran (a stop came first) goes
    // when it is empty, as it is after the batch made it.
    static void RemoveUnusedSplitFolder(const std::string& output);

    // Takes away again the page files Commit put in place (a split whose
    // status a stop kept from being reported).
    void TakeBack();

private:
    std::string splitFolder_;  // without a trailing separator
    std::string folder_;       // the private folder, without one
    std::string output_;
    std::string reason_;
    std::vector<std::string> placed_;  // the page files Commit put in place
};

}  // namespace pw
