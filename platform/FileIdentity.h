#pragma once
// Telling whether two paths name the same file, for plans that must not
// write a file they are still to read.

#include <string>
#include <vector>

namespace pw {

// Equal for two paths exactly when they name the same file: the device and
// inode of an existing file (so also through links and other spellings),
// else the absolute path with links of its existing part resolved.
std::string FileIdentity(const std::string& path);

// Looks at a plan whose entry i reads sources[i] and writes outputs[i]. An
// entry may write its own source (it is replaced only after a good run), but
// no entry may write another entry's source, and no two entries may write
// one file. Returns a message naming the files of the first clash, or ""
// when there is none.
std::string FindOutputClash(const std::vector<std::string>& sources, const std::vector<std::string>& outputs);

}  // namespace pw
