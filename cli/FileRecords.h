#pragma once
// What the --json line of a processed file says beyond its status: the
// files written for it and their pages, read back from the disk.

#include <string>

#include "cli/JsonReport.h"
#include "engine/BatchJob.h"

namespace pw::cli {

// The pages of a TIFF file whatever its name; 0 when it cannot be read.
int CountPages(const std::string& path);

// The record of entry index of a compress, merge or split job.
FileRecord BatchFileRecord(const std::string& operation, const BatchJob& job, int index, const std::string& status,
                           const std::string& reason, double seconds);

}  // namespace pw::cli
