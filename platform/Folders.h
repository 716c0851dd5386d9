#pragma once
// Folder operations of the batches beyond the path helpers.

#include <string>

namespace pw {

// True when the path (a link at its end taken as the link) is where a file
// system, or a bound part of one, is mounted: the root of a mount of any
// kind, also one of the file system it lies on. On Windows: a junction or
// a folder a volume is mounted on.
bool IsMountPoint(const std::string& path);

// Puts the folder from in place of the folder to, which must be empty or
// missing; false with errno set otherwise (to is then left as it is).
bool ReplaceEmptyFolder(const std::string& from, const std::string& to);

}  // namespace pw
