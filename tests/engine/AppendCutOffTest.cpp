// An append that is cut off anywhere - a tool ended at any moment - can be
// taken back: the file keeps exactly its earlier pages, byte for byte, and
// takes further appends, whatever the TIFF flavour. The batch worker relies
// on this for the merge output of a stopped batch.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include "engine/AppendRollback.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::CountDirectories;
using test::ReadBytes;
using test::ReadPagePixels;
using test::TempFolder;
using test::WriteBytes;

constexpr uint32_t kWidth = 40;
constexpr uint32_t kHeight = 30;

std::vector<uint8_t> Pixels(int page)
{
    std::vector<uint8_t> pixels(kWidth * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7 + page * 31);
    return pixels;
}

// Writes pages first .. first + count - 1 with libtiff's mode ("w", "w8" for
// BigTIFF, "wb" for big-endian, "a" to append), the way tiffcp -a does.
bool WritePages(const std::string& path, const char* mode, int first, int count)
{
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (tif == nullptr)
        return false;
    for (int page = first; page < first + count; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 10);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        std::vector<uint8_t> pixels = Pixels(page);
        for (uint32_t row = 0; row < kHeight; ++row)
            TIFFWriteScanline(tif, pixels.data() + row * kWidth, row, 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return true;
}

long long SizeOf(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

void ExpectPages(const std::string& path, int count)
{
    ASSERT_EQ(CountDirectories(path), count);
    for (int page = 0; page < count; ++page)
        EXPECT_EQ(ReadPagePixels(path, page), Pixels(page)) << "page " << page;
}

class Flavour : public ::testing::TestWithParam<const char*> {};

// Every length between the old and the new size stands for a tool ended at
// that moment: before, inside and after the new directories and their link.
TEST_P(Flavour, AnAppendCutOffAnywhereIsTakenBackToTheEarlierPages)
{
    TempFolder dir;
    const std::string base = dir / "base.tif";
    ASSERT_TRUE(WritePages(base, GetParam(), 0, 2));
    const std::string before = ReadBytes(base);
    const std::string full = dir / "full.tif";
    ASSERT_TRUE(WriteBytes(full, before));
    ASSERT_TRUE(WritePages(full, "a", 2, 2));
    ExpectPages(full, 4);
    const std::string after = ReadBytes(full);
    ASSERT_GT(after.size(), before.size());

    const size_t step = std::max<size_t>(1, (after.size() - before.size()) / 60);
    for (size_t cut = before.size() + 1; cut <= after.size(); cut += step) {
        const std::string path = dir / ("cut" + std::to_string(cut) + ".tif");
        ASSERT_TRUE(WriteBytes(path, before));
        const AppendRollback checkpoint(path);
        ASSERT_TRUE(WriteBytes(path, after.substr(0, cut)));
        ASSERT_TRUE(checkpoint.Restore()) << cut;
        EXPECT_EQ(SizeOf(path), static_cast<long long>(before.size())) << cut;
        EXPECT_TRUE(ReadBytes(path) == before) << "byte for byte the earlier file, cut at " << cut;
        ExpectPages(path, 2);
        ASSERT_TRUE(WritePages(path, "a", 2, 1)) << "the output must take further appends";
        ExpectPages(path, 3);
        ::unlink(path.c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(Tiff, Flavour, ::testing::Values("w", "wb", "w8", "wb8"),
                         [](const auto& info) {
                             const std::string mode = info.param;
                             return std::string(mode.find('b') != std::string::npos ? "BigEndian" : "LittleEndian") +
                                    (mode.find('8') != std::string::npos ? "BigTiff" : "Classic");
                         });

}  // namespace
}  // namespace pw
