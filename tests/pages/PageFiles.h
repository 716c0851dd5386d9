#pragma once
// Test files for the page functions beyond what the shared fixtures write:
// pages with colour maps, profiles, predictors, JPEG, other byte orders,
// and damaged files made by patching good ones.

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pw::test {

// One page; the pixels are a pattern of the page's index.
struct TestPage {
    uint32_t width = 40;
    uint32_t height = 30;
    uint16_t bitsPerSample = 8;
    uint16_t samplesPerPixel = 1;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint32_t rowsPerStrip = 8;
    uint32_t tileSize = 0;  // 16, 32...: tiled; 0: strips
    // Further tags (predictor, colour map, profile...), set after the ones
    // above and before the data.
    std::function<void(TIFF*)> extraTags;
    // Stored strips written as they are instead of encoding the pattern.
    std::function<std::vector<std::string>(int pageIndex)> rawStrips;
};

// A page of the given sample layout and compression; extra sets further tags.
TestPage Make(uint16_t bits, uint16_t samples, uint16_t photometric, uint16_t compression,
              std::function<void(TIFF*)> extra = nullptr);

// mode: "w", "wb" (big-endian), "w8" (BigTIFF)...
bool WriteTestTiff(const std::string& path, const std::vector<TestPage>& pages, const char* mode = "w");

// Every strip or tile of page index decoded as libtiff hands it out, one
// after another; empty when the page cannot be read.
std::vector<uint8_t> DecodedStrips(const std::string& path, int pageIndex);

// Every strip or tile of page index as stored.
std::vector<std::string> StoredStrips(const std::string& path, int pageIndex);

// The page as 8-bit RGBA, as libtiff's RGBA interface sees it.
std::vector<uint32_t> RgbaPixels(const std::string& path, int pageIndex);

// Values of the describing tags of page index, as text by tag name.
std::map<std::string, std::string> PageTags(const std::string& path, int pageIndex);

// Pages of 40 x 30 grey samples of bits with every kind of entry: GeoTIFF's
// tags, two private ones (65000, 65001), ICC profile, XMP, IPTC,
// Photoshop, and an EXIF and a GPS directory written before each page.
// NeXT pages (of 2 bits) are written as literal rows.
bool WriteTaggedTiff(const std::string& path, int pages, const char* mode, uint16_t bits = 8,
                     uint16_t compression = COMPRESSION_LZW);

// Every entry of page index's directory as the file stores it, read from
// its bytes (tiffdump-style), one line each: "tag type count value", the
// value's bytes in hex with every number in big-endian order, so that the
// listings of files of either byte order compare. 8-byte types of BigTIFF
// are listed as their 4-byte kin. The values of the strip and tile
// offsets are left out (they depend on the layout); an EXIF, GPS,
// Interoperability or SubIFDs entry is followed by the listing of the
// directory it points to, indented. Empty when the page cannot be found.
std::vector<std::string> ListTags(const std::string& path, int pageIndex);

// The listing without the lines of tag (and what is indented under them).
std::vector<std::string> WithoutTag(std::vector<std::string> listing, uint16_t tag);

// Edits a classic little-endian TIFF file in memory.
class TiffPatcher {
public:
    explicit TiffPatcher(std::string bytes);
    const std::string& bytes() const { return bytes_; }
    bool Save(const std::string& path) const;

    std::vector<uint32_t> Directories() const;
    // File offset of the value field of tag's entry in directory dir; 0
    // when there is no such entry.
    uint32_t ValueOffset(int dir, uint16_t tag) const;
    uint32_t Value(int dir, uint16_t tag) const;  // SHORT or LONG, inline
    void SetValue(int dir, uint16_t tag, uint32_t value);
    void SetCount(int dir, uint16_t tag, uint32_t count);
    // Element index of a SHORT or LONG array, inline or not.
    uint32_t Element(int dir, uint16_t tag, uint32_t index) const;
    void SetElement(int dir, uint16_t tag, uint32_t index, uint32_t value);
    void SetNextDirectory(int dir, uint32_t offset);
    void SetFirstDirectory(uint32_t offset);
    void Put32(uint32_t at, uint32_t value);
    void Put16(uint32_t at, uint16_t value);
    uint32_t Get32(uint32_t at) const;
    uint16_t Get16(uint32_t at) const;

private:
    uint32_t EntryOffset(int dir, uint16_t tag) const;
    uint32_t ElementOffset(int dir, uint16_t tag, uint32_t index, bool& isShort) const;
    std::string bytes_;
};

// A damaged or odd input and what the page functions must make of it.
struct DamagedCase {
    std::string name;
    std::string bytes;
    int pageCount;       // GetTiffPageCount
    int extractResult;   // ExtractPages(..., "all")
    int outputPages;     // pages in the output afterwards; -1: no output file
};

// The set of damaged files, generated in folder (scratch files go there).
std::vector<DamagedCase> MakeDamagedCases(const std::string& folder);

}  // namespace pw::test
