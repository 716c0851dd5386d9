#pragma once
// The file list's plain rules: which names pass the extension test, how a
// size reads, and which buttons the list's state enables.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pw {

// The Open dialog's filter as one block: description, pattern, and the
// closing empty entry, 37 bytes with their NULs.
inline constexpr std::string_view kTiffFilterBlock{"TIFF File(*.tiff*.tif)\0*.tiff;*.tif\0\0", 37};

// The extension test for dropped files: the lower-cased extension of the
// file name (with its dot; empty when the name has none) must occur byte for
// byte somewhere in kTiffFilterBlock. So ".tif", ".TIFF" and also "" (no
// extension), ".t" and ".ti" pass; ".jpg" and ".tifx" do not. Null or empty
// paths do not pass.
bool IsTiffPath(const char* path);

// A byte count as the list shows it: kilobytes of 1000 bytes, "%8.2f KB"
// always with a decimal point, whatever the process's locale.
std::string FormatKilobytes(uint64_t bytes);

// The size text of a file: FormatKilobytes of its size, of 0 when it
// cannot be read. Sizes of any magnitude read right, also above 2 GB.
std::string FormatFileSize(const std::string& path);

// Whether each of the list-dependent buttons is enabled for a list of
// `count` rows of which `selected` are selected, in the order they are set:
// Remove, Extract, Remove All, Merge All, Compress, Split All.
std::array<std::pair<int, bool>, 6> FileListButtonStates(int count, int selected);

// The order of a list of count rows once the given rows (any order,
// repeats allowed) have moved, together, in front of row before (count: to
// the end): entry i is the old index of the row that comes i-th. Empty
// when a row or before lies outside the list.
std::vector<long> MovedRowsOrder(std::vector<long> rows, long before, long count);

}  // namespace pw
