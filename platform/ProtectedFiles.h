#pragma once
// The files the batches under way in this process read. No output takes
// the place of one, whatever path leads to it by then: a source moved in
// under an output's name, or an output folder swapped for a link to the
// sources' folder, keeps its file. Checked at the moment an output is put
// in place, so that what the plan saw is not the only safeguard.

#include <string>
#include <vector>

namespace pw {

class ProtectedFiles {
public:
    // Protects the sources while the object lives. outputs, when given,
    // holds each source's output: a source that is itself the file at its
    // output's path (a file recompressed in place) may be replaced there,
    // and nowhere else.
    explicit ProtectedFiles(const std::vector<std::string>& sources,
                            const std::vector<std::string>& outputs = {});
    ~ProtectedFiles();
    ProtectedFiles(const ProtectedFiles&) = delete;
    ProtectedFiles& operator=(const ProtectedFiles&) = delete;

    // Why the entry at path (a link at its end taken as the link) must not
    // be replaced, naming it; "" when it may.
    static std::string Refusal(const std::string& path);

private:
    std::vector<std::string> identities_;
    std::vector<std::string> allowances_;
};

}  // namespace pw
