#pragma once
// How the Extract command names the file it writes for each source.

#include <string>

namespace pw {

// The folder, a separator unless the folder ends with one, the source's
// base name, "-", the range text with every blank removed, and the source's
// extension: "/out" + "/scan/letter.tif" + "1-3, 7" gives
// "/out/letter-1-3,7.tif". Empty, with the reason in *refusal, when the
// range text holds a path separator, which would put the file outside the
// folder, or when the folder is empty.
std::string ExtractOutputPath(const std::string& folder, const std::string& source,
                              const std::string& rangeText, std::string* refusal = nullptr);

}  // namespace pw
