#pragma once
// What the benchmarks measure on: scanned letters as fax offices keep them,
// A4 at 300 dpi, bilevel, G4 compressed.

#include <cstdint>
#include <string>
#include <vector>

namespace pw::bench {

inline constexpr uint32_t kA4Width = 2480;
inline constexpr uint32_t kA4Height = 3508;

// Writes `pages` pages of text-like lines, different for every page and
// every seed, into a new file at path.
bool WriteA4G4(const std::string& path, int pages = 1, uint32_t seed = 1);

// Writes `count` one-page files page000.tif, page001.tif, ... into folder,
// each with its own content; their paths, or none when one cannot be written.
std::vector<std::string> WriteA4G4Files(const std::string& folder, int count);

// The middle value (the upper one of an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace pw::bench
