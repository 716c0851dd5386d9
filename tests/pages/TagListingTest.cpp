// Every entry of a page's directory, listed from the file's bytes, arrives
// in the page files and extracted files: GeoTIFF keys, private tags,
// profiles and metadata blocks, the EXIF and GPS directories, in either
// byte order and from BigTIFF.

#include <gtest/gtest.h>

#include <filesystem>

#include "pages/RawPageFile.h"
#include "pages/TiffDiagnostics.h"
#include "pages/TiffPages.h"
#include "pages/TiffSource.h"
#include "tests/fixtures/HostileTiffs.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;

// The listings of two pages alike but for their page numbers.
void ExpectSameEntries(const std::string& source, int sourcePage, const std::string& output, int outputPage)
{
    const auto expected = ListTags(source, sourcePage);
    ASSERT_GT(expected.size(), 25u);
    EXPECT_EQ(WithoutTag(ListTags(output, outputPage), TIFFTAG_PAGENUMBER), WithoutTag(expected, TIFFTAG_PAGENUMBER));
    EXPECT_EQ(DecodedStrips(output, outputPage), DecodedStrips(source, sourcePage));
}

class TagListing : public testing::TestWithParam<const char*> {};

TEST_P(TagListing, EveryEntryArrivesInExtractedFilesAndPageFiles)
{
    TempFolder folder;
    const std::string source = folder / "tagged.tif";
    ASSERT_TRUE(WriteTaggedTiff(source, 3, GetParam()));
    const auto listing = ListTags(source, 2);
    for (const char* tag : {"33550 ", "33922 ", "34735 ", "34736 ", "34737 ", "65000 ", "65001 ", "34665 ", "34853 ",
                            "34675 ", "700 ", "33723 ", "34377 "}) {
        EXPECT_TRUE(std::any_of(listing.begin(), listing.end(), [tag](const std::string& l) { return l.rfind(tag, 0) == 0; }))
            << "the source has tag " << tag;
    }
    EXPECT_TRUE(std::any_of(listing.begin(), listing.end(), [](const std::string& l) { return l.rfind("  36867 ", 0) == 0; }))
        << "the source's EXIF directory";

    const std::string extracted = folder / "extracted.tif";
    ASSERT_EQ(ExtractPages(source, extracted, "3,1"), 1);
    ExpectSameEntries(source, 0, extracted, 0);
    ExpectSameEntries(source, 2, extracted, 1);
    const auto numbers = ListTags(extracted, 1);
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), "297 3 2 00010002"), numbers.end()) << "page 2 of 2";

    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics);
    std::string error;
    const std::string page = folder / "page.tif";
    ASSERT_EQ(WriteRawPageFile(input, 1, page, error), RawPageResult::Written) << error;
    ExpectSameEntries(source, 1, page, 0);
    const std::string head = ReadBytes(page).substr(0, 4);
    EXPECT_EQ(head, head[0] == 'M' ? std::string("MM\0*", 4) : std::string("II*\0", 4)) << "classic TIFF";
    EXPECT_EQ(head.substr(0, 2), ReadBytes(source).substr(0, 2)) << "in the source's byte order";
}

INSTANTIATE_TEST_SUITE_P(Formats, TagListing, testing::Values("wl", "wb", "w8l", "w8b"));

// A page in a file of the other byte order: every value swapped by its
// type, the samples of 16 bits too; compressed 16-bit samples cannot be.
TEST(TagListing, APageInTheOtherByteOrderHasEveryValueSwapped)
{
    TempFolder folder;
    const std::string little = folder / "little.tif";
    const std::string deep = folder / "deep.tif";
    const std::string deepLzw = folder / "deep-lzw.tif";
    ASSERT_TRUE(WriteTaggedTiff(little, 1, "wl"));
    ASSERT_TRUE(WriteTaggedTiff(deep, 1, "wl", 16, COMPRESSION_NONE));
    ASSERT_TRUE(WriteTaggedTiff(deepLzw, 1, "wl", 16, COMPRESSION_LZW));

    const std::string output = folder / "big.tif";
    RawTiffOutput out;
    std::string error;
    ASSERT_TRUE(out.Create(output, true, false, error)) << error;
    TiffDiagnostics diagnostics;
    TiffSource a(little, diagnostics), b(deep, diagnostics), c(deepLzw, diagnostics);
    ASSERT_EQ(out.AppendPage(a, 0, 0, 2, error), RawPageResult::Written) << error;
    ASSERT_EQ(out.AppendPage(b, 0, 1, 2, error), RawPageResult::Written) << error;
    const uint64_t size = out.size();
    EXPECT_EQ(out.AppendPage(c, 0, 2, 2, error), RawPageResult::NotHandled);
    EXPECT_EQ(out.size(), size);
    ASSERT_TRUE(out.Close(error)) << error;

    EXPECT_EQ(ReadBytes(output).substr(0, 2), "MM");
    ASSERT_EQ(CountDirectories(output), 2) << "the refused page left nothing behind";
    ExpectSameEntries(little, 0, output, 0);
    ExpectSameEntries(deep, 0, output, 1);
    EXPECT_EQ(StoredStrips(output, 0), StoredStrips(little, 0)) << "8-bit LZW data is copied as stored";
    EXPECT_NE(StoredStrips(output, 1), StoredStrips(deep, 0)) << "16-bit samples are swapped";

    // Appending to the file as it is now keeps its pages and order.
    RawTiffOutput again;
    ASSERT_TRUE(again.OpenForAppend(output, error)) << error;
    EXPECT_TRUE(again.bigEndian());
    ASSERT_EQ(again.AppendPage(a, 0, 2, 3, error), RawPageResult::Written) << error;
    ASSERT_TRUE(again.Close(error));
    ASSERT_EQ(CountDirectories(output), 3);
    ExpectSameEntries(little, 0, output, 2);
}

// Entries and pointers written as BigTIFF's: 8-byte counts and offsets.
TEST(TagListing, ABigTiffOutputHoldsTheSameEntries)
{
    TempFolder folder;
    const std::string source = folder / "tagged.tif";
    ASSERT_TRUE(WriteTaggedTiff(source, 2, "wb"));
    const std::string output = folder / "big.tif";
    RawTiffOutput out;
    std::string error;
    ASSERT_TRUE(out.Create(output, false, true, error)) << error;
    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics);
    for (int page = 0; page < 2; ++page)
        ASSERT_EQ(out.AppendPage(input, page, static_cast<uint32_t>(page), 2, error), RawPageResult::Written) << error;
    ASSERT_TRUE(out.Close(error)) << error;
    EXPECT_EQ(ReadBytes(output).substr(0, 4), std::string("II+\0", 4));
    ASSERT_EQ(CountDirectories(output), 2);
    ExpectSameEntries(source, 0, output, 0);
    ExpectSameEntries(source, 1, output, 1);
}

// A page with a reduced-resolution image in a SubIFDs directory: the
// sub-image arrives with its own strips.
TEST(TagListing, ASubImageArrivesWithItsData)
{
    TempFolder folder;
    const std::string source = folder / "sub.tif";
    TestPage page = Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, [](TIFF* t) {
        uint64_t none = 0;
        TIFFSetField(t, TIFFTAG_SUBIFD, 1, &none);
    });
    TestPage thumbnail = Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS);
    thumbnail.width = 20;
    thumbnail.height = 15;
    ASSERT_TRUE(WriteTestTiff(source, {page, thumbnail, Make(8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)}));
    ASSERT_EQ(CountDirectories(source), 2) << "the sub-image is not a page";

    const std::string output = folder / "page.tif";
    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics);
    std::string error;
    ASSERT_EQ(WriteRawPageFile(input, 0, output, error), RawPageResult::Written) << error;
    ExpectSameEntries(source, 0, output, 0);
    auto subImage = [](const std::string& path) {
        TIFFSetWarningHandler(nullptr);
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        uint16_t count = 0;
        uint64_t* offsets = nullptr;
        std::vector<uint8_t> pixels;
        if (tif != nullptr && TIFFGetField(tif, TIFFTAG_SUBIFD, &count, &offsets) && count == 1 &&
            TIFFSetSubDirectory(tif, offsets[0])) {
            std::vector<uint8_t> strip(static_cast<size_t>(TIFFStripSize(tif)));
            for (uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
                const tmsize_t got = TIFFReadEncodedStrip(tif, s, strip.data(), -1);
                if (got > 0)
                    pixels.insert(pixels.end(), strip.begin(), strip.begin() + got);
            }
        }
        if (tif != nullptr)
            TIFFClose(tif);
        return pixels;
    };
    const std::vector<uint8_t> expected = subImage(source);
    ASSERT_EQ(expected.size(), 20u * 15);
    EXPECT_EQ(subImage(output), expected);
}

// Strips that share bytes or overlap, as a writer saving space may store
// them: the bytes they cover are copied once and shared alike.
TEST(TagListing, SharedAndOverlappingStripsAreCopiedOnce)
{
    TempFolder folder;
    RawTiff raw;
    raw.Page()
        .Long(TIFFTAG_IMAGEWIDTH, {40})
        .Long(TIFFTAG_IMAGELENGTH, {32})
        .Short(TIFFTAG_BITSPERSAMPLE, {8})
        .Short(TIFFTAG_COMPRESSION, {COMPRESSION_NONE})
        .Short(TIFFTAG_PHOTOMETRIC, {PHOTOMETRIC_MINISBLACK})
        .Long(TIFFTAG_ROWSPERSTRIP, {8});
    std::string stretch(640, '\0');
    for (size_t i = 0; i < stretch.size(); ++i)
        stretch[i] = static_cast<char>(i * 5 + i / 40);
    raw.Data({stretch, "x", "y", "z"});
    TiffPatcher patcher(raw.Bytes());
    const uint32_t start = patcher.Element(0, TIFFTAG_STRIPOFFSETS, 0);
    const uint32_t layout[4][2] = {{start, 320}, {start + 160, 320}, {start, 320}, {start + 320, 320}};
    for (uint32_t s = 0; s < 4; ++s) {
        patcher.SetElement(0, TIFFTAG_STRIPOFFSETS, s, layout[s][0]);
        patcher.SetElement(0, TIFFTAG_STRIPBYTECOUNTS, s, layout[s][1]);
    }
    const std::string source = folder / "shared.tif";
    ASSERT_TRUE(patcher.Save(source));
    ASSERT_LT(ReadBytes(source).size(), 4u * 320) << "the strips claim more bytes than the file has";

    const std::string extracted = folder / "extracted.tif";
    ASSERT_EQ(ExtractPages(source, extracted, "all"), 1);
    const std::string page = folder / "page.tif";
    TiffDiagnostics diagnostics;
    TiffSource input(source, diagnostics);
    std::string error;
    ASSERT_EQ(WriteRawPageFile(input, 0, page, error), RawPageResult::Written) << error;
    for (const std::string& copy : {extracted, page}) {
        SCOPED_TRACE(copy);
        EXPECT_EQ(StoredStrips(copy, 0), StoredStrips(source, 0));
        EXPECT_EQ(DecodedStrips(copy, 0), DecodedStrips(source, 0));
        EXPECT_LT(ReadBytes(copy).size(), ReadBytes(source).size() + 64);
        TiffPatcher copied(ReadBytes(copy));
        EXPECT_EQ(copied.Element(0, TIFFTAG_STRIPOFFSETS, 2), copied.Element(0, TIFFTAG_STRIPOFFSETS, 0));
        EXPECT_EQ(copied.Element(0, TIFFTAG_STRIPOFFSETS, 1), copied.Element(0, TIFFTAG_STRIPOFFSETS, 0) + 160);
    }
}

}  // namespace
}  // namespace pw
