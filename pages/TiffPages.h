#pragma once
// Page count and page extraction of TIFF files, through libtiff.

#include <cstdint>
#include <string>

namespace pw {

// The number of pages of a TIFF file; 0 when the path's extension is not
// "tif"/"tiff" (the file is then not opened) or the file cannot be read.
int GetTiffPageCount(const std::string& path);

// Copies the pages that rangeText selects (null, empty or "all": every page)
// from source into a new TIFF file at output, in ascending order, each once.
// Returns 1 on success, 0 on failure.
int ExtractPages(const std::string& source, const std::string& output, const char* rangeText);

// The largest page number a range text can name.
inline constexpr int kMaxPageNumber = 99999;

// Outputs that may grow beyond this many bytes are written as BigTIFF.
// Tests lower it; 0 restores the classic format's limit.
void SetBigTiffThresholdForTesting(uint64_t bytes);

}  // namespace pw
