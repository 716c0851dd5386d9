#include "tests/pages/PageFiles.h"

#include <cstdio>
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
    // same 60000 bytes: copied strip by strip it would be 4096 times the
    // file; copied as the bytes the strips cover, it is one copy of them.
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
        add("every strip on the same bytes", p.bytes(), 1, 1, 1);
    }
    return cases;
}

namespace {

struct TagReader {
    const std::string& bytes;
    bool big = false;
    bool bigTiff = false;

    bool Has(uint64_t at, uint64_t size) const { return at <= bytes.size() && size <= bytes.size() - at; }
    uint64_t Get(uint64_t at, size_t size) const
    {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value = (value << 8) | static_cast<uint8_t>(bytes[static_cast<size_t>(at) + (big ? i : size - 1 - i)]);
        return value;
    }

    static size_t TypeSize(uint16_t type)
    {
        switch (type) {
        case 1: case 2: case 6: case 7: return 1;
        case 3: case 8: return 2;
        case 4: case 9: case 11: case 13: return 4;
        case 5: case 10: case 12: case 16: case 17: case 18: return 8;
        default: return 0;
        }
    }

    void List(uint64_t dir, int depth, std::vector<std::string>& lines) const
    {
        const size_t countSize = bigTiff ? 8 : 2, entrySize = bigTiff ? 20 : 12, valueSize = bigTiff ? 8 : 4;
        const std::string indent(static_cast<size_t>(depth) * 2, ' ');
        if (depth > 4 || !Has(dir, countSize)) {
            lines.push_back(indent + "unreadable directory");
            return;
        }
        const uint64_t count = Get(dir, countSize);
        for (uint64_t i = 0; i < count && Has(dir + countSize + i * entrySize, entrySize); ++i) {
            const uint64_t at = dir + countSize + i * entrySize;
            const auto tag = static_cast<uint16_t>(Get(at, 2));
            auto type = static_cast<uint16_t>(Get(at + 2, 2));
            const uint64_t n = Get(at + 4, bigTiff ? 8 : 4);
            const size_t size = TypeSize(type);
            const uint64_t total = n * size;
            const uint64_t valueAt = total <= valueSize ? at + (bigTiff ? 12 : 8) : Get(at + (bigTiff ? 12 : 8), valueSize);
            std::ostringstream line;
            const uint16_t shown = type == 16 ? 4 : type == 17 ? 9 : type == 18 ? 13 : type;
            line << indent << tag << ' ' << shown << ' ' << n;
            const bool offsets = tag == TIFFTAG_STRIPOFFSETS || tag == TIFFTAG_TILEOFFSETS;
            const bool pointer = tag == TIFFTAG_SUBIFD || tag == TIFFTAG_EXIFIFD || tag == TIFFTAG_GPSIFD ||
                                 tag == TIFFTAG_INTEROPERABILITYIFD;
            if (size == 0 || !Has(valueAt, total)) {
                line << " unreadable";
            } else if (!offsets && !pointer) {
                // Rationals are two numbers; 8-byte integers shown as 4-byte
                // ones where BigTIFF's types are.
                const size_t unit = type == 5 || type == 10 ? 4 : size;
                const size_t shownUnit = shown != type ? 4 : unit;
                line << ' ' << std::hex;
                for (uint64_t e = 0; e < total / unit; ++e) {
                    const uint64_t value = unit == 1 ? static_cast<uint8_t>(bytes[static_cast<size_t>(valueAt + e)])
                                                     : Get(valueAt + e * unit, unit);
                    char text[17];
                    std::snprintf(text, sizeof text, "%0*llx", static_cast<int>(shownUnit * 2),
                                  static_cast<unsigned long long>(value));
                    line << text;
                }
            }
            lines.push_back(line.str());
            if (pointer && size != 0 && Has(valueAt, total)) {
                for (uint64_t e = 0; e < n; ++e)
                    List(Get(valueAt + e * size, size), depth + 1, lines);
            }
        }
    }
};

}  // namespace

// GeoTIFF's tags and two private ones, unknown to libtiff.
namespace {
const TIFFFieldInfo kCustomFields[] = {
    {33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScale")},
    {33922, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelTiepoint")},
    {34735, -1, -1, TIFF_SHORT, FIELD_CUSTOM, 1, 1, const_cast<char*>("GeoKeyDirectory")},
    {34736, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("GeoDoubleParams")},
    {34737, -1, -1, TIFF_ASCII, FIELD_CUSTOM, 1, 0, const_cast<char*>("GeoAsciiParams")},
    {65000, -1, -1, TIFF_UNDEFINED, FIELD_CUSTOM, 1, 1, const_cast<char*>("PrivateBlock")},
    {65001, -1, -1, TIFF_SLONG, FIELD_CUSTOM, 1, 1, const_cast<char*>("PrivateNumbers")},
};
}  // namespace

bool WriteTaggedTiff(const std::string& path, int pages, const char* mode, uint16_t bits, uint16_t compression)
{
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (tif == nullptr)
        return false;
    bool ok = true;
    for (int page = 0; ok && page < pages; ++page) {
        uint64_t exif = 0, gps = 0;
        const uint16_t iso = static_cast<uint16_t>(100 + page);
        ok = TIFFCreateEXIFDirectory(tif) == 0 && TIFFSetField(tif, EXIFTAG_EXPOSURETIME, 0.008) &&
             TIFFSetField(tif, EXIFTAG_ISOSPEEDRATINGS, 1, &iso) &&
             TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, "2024:05:06 07:08:09") &&
             TIFFWriteCustomDirectory(tif, &exif);
        const uint8_t version[4] = {2, 3, 0, 0};
        // libtiff 4.5 leaks a custom directory's values unless it is freed
        // before the next one is made.
        TIFFFreeDirectory(tif);
        ok = ok && TIFFCreateGPSDirectory(tif) == 0 && TIFFSetField(tif, GPSTAG_VERSIONID, version) &&
             TIFFSetField(tif, GPSTAG_LATITUDEREF, "N") && TIFFSetField(tif, GPSTAG_ALTITUDE, 123.5) &&
             TIFFWriteCustomDirectory(tif, &gps);
        TIFFFreeDirectory(tif);
        ok = ok && TIFFCreateDirectory(tif) == 0 && TIFFMergeFieldInfo(tif, kCustomFields, std::size(kCustomFields)) == 0;
        if (!ok)
            break;
        const uint32_t width = 40, height = 30;
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.0);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(pages));
        TIFFSetField(tif, TIFFTAG_EXIFIFD, exif);
        TIFFSetField(tif, TIFFTAG_GPSIFD, gps);
        const std::string profile = "a colour profile of page " + std::to_string(page);
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(profile.size()), profile.data());
        const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";
        TIFFSetField(tif, TIFFTAG_XMLPACKET, static_cast<uint32_t>(xmp.size()), xmp.data());
        const uint32_t iptc[3] = {0x1c020000u, 0x1c020500u + static_cast<uint32_t>(page), 0x41424344u};
        TIFFSetField(tif, TIFFTAG_RICHTIFFIPTC, 3, iptc);
        const std::string photoshop = "8BIM\x04\x04 resources";
        TIFFSetField(tif, TIFFTAG_PHOTOSHOP, static_cast<uint32_t>(photoshop.size()), photoshop.data());
        const double scale[3] = {0.5, 0.25, 0.0};
        const double tiepoint[6] = {0, 0, 0, 440720.0 + page, 3751320.0, 0};
        const uint16_t keys[12] = {1, 1, 0, 2, 1024, 0, 1, 1, 3072, 0, 1, 32611};
        const double doubles[2] = {6378137.0, 298.257223563};
        const uint8_t block[7] = {1, 2, 3, 4, 5, 6, static_cast<uint8_t>(page)};
        const int32_t numbers[3] = {-7, 70000, -page};
        TIFFSetField(tif, 33550, 3, scale);
        TIFFSetField(tif, 33922, 6, tiepoint);
        TIFFSetField(tif, 34735, 12, keys);
        TIFFSetField(tif, 34736, 2, doubles);
        TIFFSetField(tif, 34737, "WGS 84|");
        TIFFSetField(tif, 65000, 7, block);
        TIFFSetField(tif, 65001, 3, numbers);
        const tmsize_t stripSize = TIFFStripSize(tif);
        for (uint32_t strip = 0; ok && strip < TIFFNumberOfStrips(tif); ++strip) {
            std::vector<uint8_t> data(static_cast<size_t>(stripSize));
            for (size_t i = 0; i < data.size(); ++i)
                data[i] = static_cast<uint8_t>(i * 7 + strip * 13 + static_cast<size_t>(page) * 29);
            if (compression == COMPRESSION_NEXT) {
                // Every row a literal one: a 0 byte, then the row.
                const size_t rowBytes = static_cast<size_t>(TIFFScanlineSize(tif));
                std::vector<uint8_t> rows;
                for (size_t at = 0; at < data.size(); at += rowBytes) {
                    rows.push_back(0);
                    rows.insert(rows.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                                data.begin() + static_cast<std::ptrdiff_t>(at + rowBytes));
                }
                ok = TIFFWriteRawStrip(tif, strip, rows.data(), static_cast<tmsize_t>(rows.size())) >= 0;
                continue;
            }
            ok = TIFFWriteEncodedStrip(tif, strip, data.data(), stripSize) >= 0;
        }
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

std::vector<std::string> ListTags(const std::string& path, int pageIndex)
{
    const std::string bytes = ReadBytes(path);
    if (bytes.size() < 8 || bytes[0] != bytes[1] || (bytes[0] != 'I' && bytes[0] != 'M'))
        return {};
    TagReader reader{bytes};
    reader.big = bytes[0] == 'M';
    reader.bigTiff = reader.Get(2, 2) == 43;
    const size_t countSize = reader.bigTiff ? 8 : 2, entrySize = reader.bigTiff ? 20 : 12, linkSize = reader.bigTiff ? 8 : 4;
    uint64_t dir = reader.Get(reader.bigTiff ? 8 : 4, linkSize);
    for (int i = 0; i < pageIndex && dir != 0; ++i) {
        if (!reader.Has(dir, countSize))
            return {};
        const uint64_t linkAt = dir + countSize + reader.Get(dir, countSize) * entrySize;
        if (!reader.Has(linkAt, linkSize))
            return {};
        dir = reader.Get(linkAt, linkSize);
    }
    if (dir == 0)
        return {};
    std::vector<std::string> lines;
    reader.List(dir, 0, lines);
    return lines;
}

std::vector<std::string> WithoutTag(std::vector<std::string> listing, uint16_t tag)
{
    const std::string start = std::to_string(tag) + ' ';
    std::vector<std::string> kept;
    bool skipping = false;
    for (const std::string& line : listing) {
        if (line.rfind(start, 0) == 0) {
            skipping = true;
            continue;
        }
        if (skipping && line.rfind(' ', 0) == 0)
            continue;
        skipping = false;
        kept.push_back(line);
    }
    return kept;
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
