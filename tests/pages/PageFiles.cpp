#include "tests/pages/PageFiles.h"

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/fixtures/TiffFixtures.h"

namespace pw::test {
namespace {

TIFF* OpenQuietly(const std::string& path, const char* mode)
{
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    return TIFFOpen(path.c_str(), mode);
}

// Bytes that differ from strip to strip and page to page.
std::vector<uint8_t> Pattern(size_t size, int page, uint32_t strip)
{
    std::vector<uint8_t> bytes(size);
    uint32_t state = 2654435761u * static_cast<uint32_t>(page + 1) + 40503u * (strip + 1);
    for (size_t i = 0; i < size; ++i) {
        // Runs of equal bytes so that every scheme has something to squeeze.
        if (i % 4 == 0)
            state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>((state >> 24) + (i % 4 == 3 ? 0 : i / 64));
    }
    return bytes;
}

bool WritePage(TIFF* tif, const TestPage& page, int index)
{
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, page.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 100.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(index), static_cast<uint16_t>(0));
    if (page.tileSize != 0) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, page.tileSize);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, page.tileSize);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
    }
    if (page.extraTags)
        page.extraTags(tif);

    const bool tiled = page.tileSize != 0;
    const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    if (page.rawStrips) {
        const std::vector<std::string> strips = page.rawStrips(index);
        for (uint32_t s = 0; s < count && s < strips.size(); ++s) {
            auto* data = const_cast<char*>(strips[s].data());
            const auto size = static_cast<tmsize_t>(strips[s].size());
            if ((tiled ? TIFFWriteRawTile(tif, s, data, size) : TIFFWriteRawStrip(tif, s, data, size)) != size)
                return false;
        }
    } else {
        const uint32_t stripsPerPlane = page.planar == PLANARCONFIG_SEPARATE ? count / page.samplesPerPixel : count;
        for (uint32_t s = 0; s < count; ++s) {
            tmsize_t size;
            if (tiled) {
                size = TIFFTileSize(tif);
            } else {
                const uint32_t firstRow = (s % stripsPerPlane) * page.rowsPerStrip;
                size = TIFFVStripSize(tif, std::min(page.rowsPerStrip, page.height - firstRow));
            }
            std::vector<uint8_t> data = Pattern(static_cast<size_t>(size), index, s);
            if ((tiled ? TIFFWriteEncodedTile(tif, s, data.data(), size) : TIFFWriteEncodedStrip(tif, s, data.data(), size)) < 0)
                return false;
        }
    }
    return TIFFWriteDirectory(tif) != 0;
}

std::string Join(const uint16_t* values, size_t count)
{
    std::ostringstream text;
    for (size_t i = 0; i < count; ++i)
        text << values[i] << ',';
    return text.str();
}

}  // namespace

bool WriteTestTiff(const std::string& path, const std::vector<TestPage>& pages, const char* mode)
{
    TIFF* tif = OpenQuietly(path, mode);
    if (tif == nullptr)
        return false;
    bool ok = true;
    for (size_t i = 0; ok && i < pages.size(); ++i)
        ok = WritePage(tif, pages[i], static_cast<int>(i));
    TIFFClose(tif);
    return ok;
}

std::vector<uint8_t> DecodedStrips(const std::string& path, int pageIndex)
{
    TIFF* tif = OpenQuietly(path, "r");
    if (tif == nullptr)
        return {};
    std::vector<uint8_t> all;
    if (TIFFSetDirectory(tif, static_cast<tdir_t>(pageIndex))) {
        const bool tiled = TIFFIsTiled(tif);
        const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
        std::vector<uint8_t> buffer(static_cast<size_t>(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif)));
        for (uint32_t s = 0; s < count; ++s) {
            const tmsize_t got = tiled ? TIFFReadEncodedTile(tif, s, buffer.data(), -1)
                                       : TIFFReadEncodedStrip(tif, s, buffer.data(), -1);
            if (got < 0) {
                all.clear();
                break;
            }
            all.insert(all.end(), buffer.begin(), buffer.begin() + got);
        }
    }
    TIFFClose(tif);
    return all;
}

std::vector<std::string> StoredStrips(const std::string& path, int pageIndex)
{
    TIFF* tif = OpenQuietly(path, "rc");
    if (tif == nullptr)
        return {};
    std::vector<std::string> strips;
    if (TIFFSetDirectory(tif, static_cast<tdir_t>(pageIndex))) {
        const bool tiled = TIFFIsTiled(tif);
        const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
        for (uint32_t s = 0; s < count; ++s) {
            std::string data(static_cast<size_t>(TIFFGetStrileByteCount(tif, s)), '\0');
            if (tiled)
                TIFFReadRawTile(tif, s, data.data(), static_cast<tmsize_t>(data.size()));
            else
                TIFFReadRawStrip(tif, s, data.data(), static_cast<tmsize_t>(data.size()));
            strips.push_back(data);
        }
    }
    TIFFClose(tif);
    return strips;
}

std::vector<uint32_t> RgbaPixels(const std::string& path, int pageIndex)
{
    TIFF* tif = OpenQuietly(path, "r");
    if (tif == nullptr)
        return {};
    std::vector<uint32_t> pixels;
    if (TIFFSetDirectory(tif, static_cast<tdir_t>(pageIndex))) {
        uint32_t width = 0, height = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        pixels.resize(static_cast<size_t>(width) * height);
        if (!TIFFReadRGBAImageOriented(tif, width, height, pixels.data(), ORIENTATION_TOPLEFT, 0))
            pixels.clear();
    }
    TIFFClose(tif);
    return pixels;
}

std::map<std::string, std::string> PageTags(const std::string& path, int pageIndex)
{
    TIFF* tif = OpenQuietly(path, "rc");
    if (tif == nullptr)
        return {};
    std::map<std::string, std::string> tags;
    if (!TIFFSetDirectory(tif, static_cast<tdir_t>(pageIndex))) {
        TIFFClose(tif);
        return tags;
    }
    auto known = [&](ttag_t tag) { return TIFFFindField(tif, tag, TIFF_ANY) != nullptr; };
    const std::pair<ttag_t, const char*> shorts[] = {
        {TIFFTAG_BITSPERSAMPLE, "BitsPerSample"}, {TIFFTAG_SAMPLESPERPIXEL, "SamplesPerPixel"},
        {TIFFTAG_PHOTOMETRIC, "Photometric"},     {TIFFTAG_FILLORDER, "FillOrder"},
        {TIFFTAG_ORIENTATION, "Orientation"},     {TIFFTAG_RESOLUTIONUNIT, "ResolutionUnit"},
        {TIFFTAG_PLANARCONFIG, "PlanarConfig"},   {TIFFTAG_SAMPLEFORMAT, "SampleFormat"},
        {TIFFTAG_COMPRESSION, "Compression"},     {TIFFTAG_PREDICTOR, "Predictor"},
        {TIFFTAG_YCBCRPOSITIONING, "YCbCrPositioning"},
    };
    for (const auto& [tag, name] : shorts) {
        uint16_t value = 0;
        if (known(tag) && TIFFGetField(tif, tag, &value))
            tags[name] = std::to_string(value);
    }
    const std::pair<ttag_t, const char*> longs[] = {
        {TIFFTAG_IMAGEWIDTH, "ImageWidth"},     {TIFFTAG_IMAGELENGTH, "ImageLength"},
        {TIFFTAG_ROWSPERSTRIP, "RowsPerStrip"}, {TIFFTAG_TILEWIDTH, "TileWidth"},
        {TIFFTAG_TILELENGTH, "TileLength"},     {TIFFTAG_SUBFILETYPE, "SubfileType"},
        {TIFFTAG_GROUP3OPTIONS, "Group3Options"}, {TIFFTAG_GROUP4OPTIONS, "Group4Options"},
    };
    for (const auto& [tag, name] : longs) {
        uint32_t value = 0;
        if (known(tag) && TIFFGetField(tif, tag, &value))
            tags[name] = std::to_string(value);
    }
    for (const auto& [tag, name] : {std::pair<ttag_t, const char*>{TIFFTAG_XRESOLUTION, "XResolution"},
                                    {TIFFTAG_YRESOLUTION, "YResolution"}}) {
        float value = 0;
        if (TIFFGetField(tif, tag, &value))
            tags[name] = std::to_string(value);
    }
    for (const auto& [tag, name] : {std::pair<ttag_t, const char*>{TIFFTAG_PAGENAME, "PageName"},
                                    {TIFFTAG_IMAGEDESCRIPTION, "ImageDescription"},
                                    {TIFFTAG_DOCUMENTNAME, "DocumentName"}}) {
        const char* value = nullptr;
        if (TIFFGetField(tif, tag, &value) && value != nullptr)
            tags[name] = value;
    }
    for (const auto& [tag, name] : {std::pair<ttag_t, const char*>{TIFFTAG_ICCPROFILE, "ICCProfile"},
                                    {TIFFTAG_JPEGTABLES, "JPEGTables"},
                                    {TIFFTAG_XMLPACKET, "XMLPacket"}}) {
        uint32_t count = 0;
        const char* data = nullptr;
        if (known(tag) && TIFFGetField(tif, tag, &count, &data) && data != nullptr)
            tags[name] = std::string(data, count);
    }
    uint16_t bps = 1, a = 0, b = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    const uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && bps <= 16) {
        const size_t n = size_t{1} << bps;
        tags["ColorMap"] = Join(red, n) + Join(green, n) + Join(blue, n);
    }
    uint16_t extraCount = 0;
    const uint16_t* extra = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra))
        tags["ExtraSamples"] = Join(extra, extraCount);
    if (TIFFGetField(tif, TIFFTAG_YCBCRSUBSAMPLING, &a, &b))
        tags["YCbCrSubsampling"] = std::to_string(a) + "," + std::to_string(b);
    if (TIFFGetField(tif, TIFFTAG_PAGENUMBER, &a, &b))
        tags["PageNumber"] = std::to_string(a) + "," + std::to_string(b);
    TIFFClose(tif);
    return tags;
}

TiffPatcher::TiffPatcher(std::string bytes) : bytes_(std::move(bytes)) {}

bool TiffPatcher::Save(const std::string& path) const
{
    return WriteBytes(path, bytes_);
}

uint32_t TiffPatcher::Get32(uint32_t at) const
{
    uint32_t value = 0;
    std::memcpy(&value, bytes_.data() + at, 4);
    return value;
}

uint16_t TiffPatcher::Get16(uint32_t at) const
{
    uint16_t value = 0;
    std::memcpy(&value, bytes_.data() + at, 2);
    return value;
}

void TiffPatcher::Put32(uint32_t at, uint32_t value)
{
    std::memcpy(bytes_.data() + at, &value, 4);
}

void TiffPatcher::Put16(uint32_t at, uint16_t value)
{
    std::memcpy(bytes_.data() + at, &value, 2);
}

std::vector<uint32_t> TiffPatcher::Directories() const
{
    std::vector<uint32_t> dirs;
    std::set<uint32_t> seen;
    uint32_t offset = Get32(4);
    while (offset != 0 && offset + 2 <= bytes_.size() && seen.insert(offset).second) {
        dirs.push_back(offset);
        const uint32_t link = offset + 2 + 12u * Get16(offset);
        if (link + 4 > bytes_.size())
            break;
        offset = Get32(link);
    }
    return dirs;
}

uint32_t TiffPatcher::EntryOffset(int dir, uint16_t tag) const
{
    const uint32_t at = Directories().at(static_cast<size_t>(dir));
    const uint16_t count = Get16(at);
    for (uint16_t i = 0; i < count; ++i) {
        const uint32_t entry = at + 2 + 12u * i;
        if (Get16(entry) == tag)
            return entry;
    }
    return 0;
}

uint32_t TiffPatcher::ValueOffset(int dir, uint16_t tag) const
{
    const uint32_t entry = EntryOffset(dir, tag);
    return entry == 0 ? 0 : entry + 8;
}

uint32_t TiffPatcher::Value(int dir, uint16_t tag) const
{
    const uint32_t entry = EntryOffset(dir, tag);
    return Get16(entry + 2) == TIFF_SHORT ? Get16(entry + 8) : Get32(entry + 8);
}

void TiffPatcher::SetValue(int dir, uint16_t tag, uint32_t value)
{
    const uint32_t entry = EntryOffset(dir, tag);
    if (Get16(entry + 2) == TIFF_SHORT && value > 0xFFFF)
        Put16(entry + 2, TIFF_LONG);
    if (Get16(entry + 2) == TIFF_SHORT)
        Put16(entry + 8, static_cast<uint16_t>(value));
    else
        Put32(entry + 8, value);
}

uint32_t TiffPatcher::ElementOffset(int dir, uint16_t tag, uint32_t index, bool& isShort) const
{
    const uint32_t entry = EntryOffset(dir, tag);
    isShort = Get16(entry + 2) == TIFF_SHORT;
    const uint32_t size = isShort ? 2 : 4;
    const uint32_t start = Get32(entry + 4) * size <= 4 ? entry + 8 : Get32(entry + 8);
    return start + index * size;
}

uint32_t TiffPatcher::Element(int dir, uint16_t tag, uint32_t index) const
{
    bool isShort = false;
    const uint32_t at = ElementOffset(dir, tag, index, isShort);
    return isShort ? Get16(at) : Get32(at);
}

void TiffPatcher::SetElement(int dir, uint16_t tag, uint32_t index, uint32_t value)
{
    bool isShort = false;
    const uint32_t at = ElementOffset(dir, tag, index, isShort);
    if (isShort)
        Put16(at, static_cast<uint16_t>(value));
    else
        Put32(at, value);
}

void TiffPatcher::SetCount(int dir, uint16_t tag, uint32_t count)
{
    Put32(EntryOffset(dir, tag) + 4, count);
}

void TiffPatcher::SetNextDirectory(int dir, uint32_t offset)
{
    const uint32_t at = Directories().at(static_cast<size_t>(dir));
    Put32(at + 2 + 12u * Get16(at), offset);
}

void TiffPatcher::SetFirstDirectory(uint32_t offset)
{
    Put32(4, offset);
}

std::vector<DamagedCase> MakeDamagedCases(const std::string& folder)
{
    // Three pages of three strips each, libtiff's layout: each page's strips,
    // then its directory, then its strip tables. Compressed, since libtiff
    // mends the strip lengths of uncompressed pages that look wrong.
    const std::string base = folder + "/base.tif";
    WriteTiff(base, 3, Page(8, COMPRESSION_LZW, 64, 48));
    const std::string good = ReadBytes(base);
    const auto size = static_cast<uint32_t>(good.size());
    WriteTiff(base, 3, Page(8, COMPRESSION_NONE, 64, 48));
    const std::string uncompressed = ReadBytes(base);

    std::vector<DamagedCase> cases;
    auto add = [&](std::string name, std::string bytes, int count, int result, int outputPages) {
        cases.push_back({std::move(name), std::move(bytes), count, result, outputPages});
    };
    auto patched = [&](const std::function<void(TiffPatcher&)>& edit) {
        TiffPatcher patcher(good);
        edit(patcher);
        return patcher.bytes();
    };
    const TiffPatcher plain(good);
    const std::vector<uint32_t> dirs = plain.Directories();

    add("empty file", "", 0, 0, -1);
    add("plain text", "This is a plain text file, not an image.\n", 0, 0, -1);
    WriteGarbageAfterHeader(folder + "/garbage.tif");
    add("garbage after header", ReadBytes(folder + "/garbage.tif"), 0, 0, -1);
    add("header without directory", std::string("II*\0\0\0\0\0", 8), 0, 0, -1);
    add("big-endian header without directory", std::string("MM\0*\0\0\0\0", 8), 0, 0, -1);
    add("first directory past the end", patched([&](TiffPatcher& p) { p.SetFirstDirectory(size + 1000); }), 0, 0, -1);
    add("BigTIFF header then garbage", std::string("II+\0\x08\0\0\0\xff\xff\xff\xff\xff\xff\xff\x7f", 16) + std::string(64, '\x5a'),
        0, 0, -1);
    add("cut inside the first directory", good.substr(0, dirs[0] + 20), 0, 0, -1);
    // A file cut short (an interrupted copy) or whose chain runs into a
    // damaged directory holds more pages than can be found: no page counts.
    add("cut in the second page's strips", good.substr(0, dirs[0] + 400), 0, 0, -1);
    add("cut inside the second directory", good.substr(0, dirs[1] + 30), 0, 0, -1);
    add("strip past the end", patched([&](TiffPatcher& p) { p.SetElement(1, TIFFTAG_STRIPOFFSETS, 2, size + 100); }),
        3, 0, 1);
    add("strip length past the end",
        patched([&](TiffPatcher& p) { p.SetElement(0, TIFFTAG_STRIPBYTECOUNTS, 0, size); }), 3, 0, -1);
    {
        TiffPatcher p(uncompressed);
        // libtiff mends lengths that differ between the first two strips.
        p.SetElement(2, TIFFTAG_STRIPBYTECOUNTS, 2, 100);
        add("uncompressed strip shorter than its rows", p.bytes(), 3, 0, 2);
    }
    add("strip without data", patched([&](TiffPatcher& p) { p.SetElement(1, TIFFTAG_STRIPBYTECOUNTS, 0, 0); }), 3, 0, 1);
    add("directory loop", patched([&](TiffPatcher& p) { p.SetNextDirectory(2, dirs[0]); }), 3, 1, 3);
    add("directory linked to itself", patched([&](TiffPatcher& p) { p.SetNextDirectory(0, dirs[0]); }), 1, 1, 1);
    add("directory without entries", patched([&](TiffPatcher& p) { p.Put16(dirs[1], 0); }), 0, 0, -1);
    add("directory with 60000 entries", patched([&](TiffPatcher& p) { p.Put16(dirs[1], 60000); }), 0, 0, -1);
    add("a million by a million pixels", patched([&](TiffPatcher& p) {
            p.SetValue(1, TIFFTAG_IMAGEWIDTH, 1000000);
            p.SetValue(1, TIFFTAG_IMAGELENGTH, 1000000);
        }), 3, 0, 1);
    add("a million by a million pixels in one strip", patched([&](TiffPatcher& p) {
            p.SetValue(1, TIFFTAG_IMAGEWIDTH, 1000000);
            p.SetValue(1, TIFFTAG_IMAGELENGTH, 1000000);
            p.SetValue(1, TIFFTAG_ROWSPERSTRIP, 1000000);
        }), 3, 0, 1);
    add("four billion rows of one row each", patched([&](TiffPatcher& p) {
            p.SetValue(1, TIFFTAG_IMAGELENGTH, 4000000000u);
            p.SetValue(1, TIFFTAG_ROWSPERSTRIP, 1);
        }), 3, 0, 1);
    add("unknown compression", patched([&](TiffPatcher& p) { p.SetValue(1, TIFFTAG_COMPRESSION, 12345); }), 3, 0, 1);
    add("unknown compression on the first page", patched([&](TiffPatcher& p) { p.SetValue(0, TIFFTAG_COMPRESSION, 12345); }),
        3, 0, -1);

    // One page of 4096 one-row strips whose table points every strip at the
    // same 60000 bytes: read as it claims, it would be 4096 times the file.
    {
        const std::string tall = folder + "/tall.tif";
        PageSpec one = Page(8, COMPRESSION_LZW, 64, 4096);
        one.rowsPerStrip = 1;
        WriteTiff(tall, 1, one);
        TiffPatcher p(ReadBytes(tall));
        for (uint32_t s = 0; s < 4096; ++s) {
            p.SetElement(0, TIFFTAG_STRIPOFFSETS, s, 8);
            p.SetElement(0, TIFFTAG_STRIPBYTECOUNTS, s, 60000);
        }
        add("every strip on the same bytes", p.bytes(), 1, 0, -1);
    }
    return cases;
}

TestPage Make(uint16_t bits, uint16_t samples, uint16_t photometric, uint16_t compression,
              std::function<void(TIFF*)> extra)
{
    TestPage page;
    page.bitsPerSample = bits;
    page.samplesPerPixel = samples;
    page.photometric = photometric;
    page.compression = compression;
    page.extraTags = std::move(extra);
    return page;
}

}  // namespace pw::test
