#pragma once
// Page count and page extraction of TIFF files, through libtiff.

#include <string>

namespace pw {

// The number of pages of a TIFF file; 0 when the path's extension is not
// "tif"/"tiff" (the file is then not opened) or the file cannot be read.
int GetTiffPageCount(const std::string& path);

// Copies the pages that rangeText selects (null, empty or "all": every page)
// from source into a new TIFF file at output, in ascending order, each once.
// Returns 1 on success, 0 on failure.
int ExtractPages(const std::string& source, const std::string& output, const char* rangeText);

}  // namespace pw
