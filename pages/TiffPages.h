#pragma once
// Page count and page extraction of TIFF files, through libtiff.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace pw {

// The number of pages of a TIFF file; 0 when the path's extension is not
// "tif"/"tiff" (the file is then not opened) or the file cannot be read.
int GetTiffPageCount(const std::string& path);
// The same, with why there is no page in *reason when the count is 0.
int GetTiffPageCount(const std::string& path, std::string* reason);

// Copies the pages that rangeText selects (null, empty or "all": every page)
// from source into a new TIFF file at output, in ascending order, each once.
// Returns 1 on success, 0 on failure. The pages are written to a temporary
// file beside the output, which takes the output's place only on success:
// an existing output stays as it was on every failure. The range is read
// against the larger of the largest page number and the file's page count.
int ExtractPages(const std::string& source, const std::string& output, const char* rangeText);

// What a caller of ExtractPages may want beyond the result.
struct ExtractControl {
    // Where the "[...] Failed to load '...' file..." line goes.
    FILE* messages = stdout;
    // Asked before every page; true ends the extraction (result 0).
    std::function<bool()> stopRequested;
    // Filled in on failure: why, in a few words.
    std::string reason;
};
int ExtractPages(const std::string& source, const std::string& output, const char* rangeText,
                 ExtractControl& control);

// The largest page number a range text can name.
inline constexpr int kMaxPageNumber = 99999;

// Outputs that may grow beyond this many bytes are written as BigTIFF.
// Tests lower it; 0 restores the classic format's limit.
void SetBigTiffThresholdForTesting(uint64_t bytes);

}  // namespace pw
