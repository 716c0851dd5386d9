// The tools exit 0 over pages they changed; the check after every run
// makes those runs fail and undoes their output. The expectations are what
// tiffcp and tiffsplit 4.5 do with each page.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/BatchPlan.h"
#include "engine/BatchWorker.h"
#include "engine/BuiltinBatchOperations.h"
#include "engine/ToolInvocations.h"
#include "pages/PageComparison.h"
#include "platform/ProcessRunner.h"
#include "tests/engine/ToolTestSupport.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;
namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// One page of width x height, 8 bits per sample; fill writes its samples.
bool WriteOnePage(const std::string& path, const char* mode, uint32_t width, uint32_t height, uint16_t samples,
                  int photometric, uint16_t compression, const std::function<void(TIFF*)>& tags,
                  const std::function<bool(TIFF*)>& fill)
{
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (tif == nullptr)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    if (photometric >= 0)
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
    if (tags)
        tags(tif);
    const bool ok = fill(tif) && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

// RGB rows of a colour gradient, as JPEG or WebP.
bool WriteRgb(const std::string& path, uint16_t compression)
{
    auto tags = [compression](TIFF* tif) {
        if (compression == COMPRESSION_JPEG) {
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
            TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        } else {
            TIFFSetField(tif, TIFFTAG_WEBP_LOSSLESS, 1);
        }
    };
    return WriteOnePage(path, "w", 64, 48, 3, PHOTOMETRIC_RGB, compression, tags, [](TIFF* tif) {
        std::vector<uint8_t> row(64 * 3);
        for (uint32_t y = 0; y < 48; ++y) {
            for (uint32_t x = 0; x < 64; ++x) {
                row[x * 3] = static_cast<uint8_t>(x * 4);
                row[x * 3 + 1] = static_cast<uint8_t>(y * 5);
                row[x * 3 + 2] = static_cast<uint8_t>(x * y);
            }
            if (TIFFWriteScanline(tif, row.data(), y, 0) != 1)
                return false;
        }
        return true;
    });
}

// LogLuv24, big-endian, written from floating-point XYZ.
bool WriteLogLuv24(const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "wb");
    if (tif == nullptr)
        return false;
    const uint32_t width = 333, height = 225;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 32);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_LOGLUV);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_SGILOG24);
    TIFFSetField(tif, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16);
    std::vector<float> row(width * 3);
    bool ok = true;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            row[x * 3] = 0.1f + static_cast<float>(x) / width;
            row[x * 3 + 1] = 0.2f + static_cast<float>(y) / height;
            row[x * 3 + 2] = 0.3f + static_cast<float>((x + y) % 7) / 7;
        }
        ok = ok && TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

// Uncompressed YCbCr with 2:1 subsampling, or planar 4:4:4.
bool WriteYCbCr(const std::string& path, bool planar)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (tif == nullptr)
        return false;
    const uint32_t width = 64, height = 48;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, planar ? 1 : 2, 1);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    bool ok = true;
    if (planar) {
        for (uint16_t plane = 0; plane < 3; ++plane) {
            std::vector<uint8_t> samples(width * height);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<uint8_t>(plane == 0 ? i % width * 4 : plane == 1 ? 100 + i / width : 200 - i % width);
            ok = ok && TIFFWriteEncodedStrip(tif, plane, samples.data(), static_cast<tmsize_t>(samples.size())) > 0;
        }
    } else {
        // Blocks of two pixels: Y0 Y1 Cb Cr.
        std::vector<uint8_t> blocks(width / 2 * 4 * height);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t b = 0; b < width / 2; ++b) {
                uint8_t* block = &blocks[(y * width / 2 + b) * 4];
                block[0] = static_cast<uint8_t>(b * 8);
                block[1] = static_cast<uint8_t>(b * 8 + 3);
                block[2] = static_cast<uint8_t>(100 + y);
                block[3] = static_cast<uint8_t>(200 - y);
            }
        ok = TIFFWriteEncodedStrip(tif, 0, blocks.data(), static_cast<tmsize_t>(blocks.size())) > 0;
    }
    ok = ok && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

// Grey with an ICC profile.
bool WriteProfiled(const std::string& path)
{
    return WriteOnePage(
        path, "w", 40, 30, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE,
        [](TIFF* tif) {
            static const char profile[256] = "a colour profile";
            TIFFSetField(tif, TIFFTAG_ICCPROFILE, 256u, profile);
        },
        [](TIFF* tif) {
            std::vector<uint8_t> row(40);
            for (uint32_t y = 0; y < 30; ++y) {
                for (uint32_t x = 0; x < 40; ++x)
                    row[x] = static_cast<uint8_t>(x * y);
                if (TIFFWriteScanline(tif, row.data(), y, 0) != 1)
                    return false;
            }
            return true;
        });
}

// A bilevel G4 page without a Photometric tag.
bool WriteG4WithoutPhotometric(const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (tif == nullptr)
        return false;
    const uint32_t width = 640, height = 200;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<uint8_t> row(width / 8);
    bool ok = true;
    for (uint32_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < row.size(); ++x)
            row[x] = (x / 4 + y / 8) % 3 == 0 ? 0xFF : 0;
        ok = ok && TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

// A bilevel page whose SubIFD tag points into its pixel data: tiffinfo
// reports the page and exits 1 over the sub-directory; tiffcp copies it.
bool WriteBrokenSubIfd(const std::string& path)
{
    const std::string good = path + ".good";
    TIFF* tif = TIFFOpen(good.c_str(), "w");
    if (tif == nullptr)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 64);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 48);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 48);
    toff_t none[1] = {0};
    TIFFSetField(tif, TIFFTAG_SUBIFD, 1, none);
    std::vector<uint8_t> row(8, 0x5A);
    bool ok = true;
    for (uint32_t y = 0; y < 48; ++y)
        ok = ok && TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    ok = ok && TIFFWriteDirectory(tif);
    // The sub-directory.
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 64);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 48);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 48);
    for (uint32_t y = 0; y < 48; ++y)
        ok = ok && TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    TIFFClose(tif);
    if (!ok)
        return false;
    TiffPatcher patcher(ReadBytes(good));
    ::unlink(good.c_str());
    patcher.SetValue(0, TIFFTAG_SUBIFD, 9);
    return patcher.Save(path);
}

class ToolPixelCheck : public ::testing::Test {
protected:
    ProgramFolder program;
    TempFolder work;
    const std::string good = work / "good.tif";
    const std::string merged = work / "merged.tif";

    void SetUp() override { ASSERT_TRUE(WriteTiff(good, 1, Page(8))); }
};

// tiffcp -a encodes JPEG and WebP pages anew at its own quality and wrecks
// LogLuv pages; the output goes back to the pages merged before.
TEST_F(ToolPixelCheck, AMergeThatChangesAPageFailsAndLeavesTheOutputAsItWas)
{
    std::vector<std::string> sources = {work / "jpeg.tif", work / "logluv.tif"};
    ASSERT_TRUE(WriteRgb(sources[0], COMPRESSION_JPEG));
    ASSERT_TRUE(WriteLogLuv24(sources[1]));
    if (TIFFIsCODECConfigured(COMPRESSION_WEBP)) {
        sources.push_back(work / "webp.tif");
        ASSERT_TRUE(WriteRgb(sources.back(), COMPRESSION_WEBP));
    }
    ASSERT_TRUE(MergeFile(good, merged, "", "FALSE", "none"));
    const std::string before = ReadBytes(merged);
    for (const std::string& source : sources) {
        ToolOutcome outcome;
        EXPECT_FALSE(MergeFile(source, merged, "", "FALSE", "none", nullptr, &outcome)) << source;
        EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp changed page 1: its pixels differ from the source's"))
            << outcome.reason;
        EXPECT_TRUE(ReadBytes(merged) == before) << source;
    }
    // What tiffcp copies right still goes in.
    EXPECT_TRUE(MergeFile(good, merged, "", "FALSE", "none"));
    EXPECT_TRUE(HasPagesOf(merged, {{good, 1}, {good, 1}}));
}

// tiffsplit drops the YCbCr tags and the ICC profile: the pages come out in
// other colours. A failed split leaves neither page files nor the folder
// the batch made for them; the other entries go on.
TEST_F(ToolPixelCheck, ASplitThatChangesAPageLeavesNothingBehind)
{
    const std::string subsampled = work / "ycc21.tif";
    const std::string planar = work / "ycc444.tif";
    const std::string profiled = work / "profiled.tif";
    ASSERT_TRUE(WriteYCbCr(subsampled, false));
    ASSERT_TRUE(WriteYCbCr(planar, true));
    ASSERT_TRUE(WriteProfiled(profiled));
    const std::string pages = work / "pages";
    ::mkdir(pages.c_str(), 0777);
    const char* expected[] = {"its pixels differ from the source's", "it cannot be decoded",
                              "its colour profile was dropped"};
    int i = 0;
    for (const std::string& source : {subsampled, planar, profiled}) {
        ToolOutcome outcome;
        EXPECT_FALSE(SplitFile(source, pages + "/p.tif", nullptr, &outcome));
        EXPECT_TRUE(StartsWith(outcome.reason, std::string("tiffsplit changed page 1: ") + expected[i++]))
            << outcome.reason;
        EXPECT_TRUE(FolderEntries(pages).empty());
    }
    // The built-in split copies the same pages as stored, with their YCbCr
    // tags and profile: they pass the same check.
    BuiltinBatchOperations builtin;
    for (const std::string& source : {subsampled, planar, profiled}) {
        ToolOutcome outcome;
        ASSERT_TRUE(builtin.Split(source, pages + "/p.tif", nullptr, &outcome)) << source << ": " << outcome.reason;
        ASSERT_EQ(FolderEntries(pages), std::vector<std::string>{"paaa.tif"});
        const PageComparison check = CompareFiles(source, pages + "/paaa.tif");
        EXPECT_EQ(check.result, PageComparison::Result::Same) << source << ": " << check.what;
        ::unlink((pages + "/paaa.tif").c_str());
    }
    EXPECT_TRUE(builtin.Fallbacks().empty());

    const std::string out = work / "out";
    ::mkdir(out.c_str(), 0777);
    const BatchPlan plan = PlanBatch("Split", {subsampled, good}, out);
    ASSERT_TRUE(plan.ok) << plan.error;
    ASSERT_EQ(FolderEntries(out).size(), 2u);
    class Statuses : public BatchObserver, public BatchWorkerHost {
    public:
        void OnProgress(int) override {}
        void OnItemStarted(int) override {}
        void OnItemStatus(int, const std::string& status, const std::string&) override { results.push_back(status); }
        bool IsStopRequested() const override { return false; }
        bool Notify(std::function<void()> notice, bool) override
        {
            notice();
            return true;
        }
        StopSignal* ToolStopSignal() override { return &signal; }
        std::vector<std::string> results;
        StopSignal signal;
    } statuses;
    RunBatchWorker("Split", plan.job, ToolBatchOperations(), statuses, statuses);
    EXPECT_EQ(statuses.results, (std::vector<std::string>{"Failed", "Success"}));
    const std::vector<std::string> left = FolderEntries(out);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(FolderEntries(out + "/" + left[0]).size(), 1u);
}

// tiffcp writes a G4 page without Photometric as LZW without Photometric,
// which libtiff reads as the negative, and LogLuv samples as LZW data.
TEST_F(ToolPixelCheck, ACompressThatChangesAPageFailsAndWritesNothing)
{
    const std::string logLuv = work / "logluv.tif";
    ASSERT_TRUE(WriteLogLuv24(logLuv));
    ToolOutcome logLuvOutcome;
    EXPECT_FALSE(CompressFile(logLuv, work / "lzw.tif", R"("-c" "lzw")", "lzw", nullptr, &logLuvOutcome));
    EXPECT_EQ(logLuvOutcome.reason, "tiffcp changed page 1: it is no longer stored in an SGILog encoding (compression 5)");

    const std::string g4 = work / "g4.tif";
    ASSERT_TRUE(WriteG4WithoutPhotometric(g4));
    const std::string before = ReadBytes(g4);
    ToolOutcome outcome;
    EXPECT_FALSE(CompressFile(g4, work / "lzw.tif", R"("-c" "lzw")", "lzw", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "tiffcp changed page 1: its pixels differ from the source's from row 1, column 1 on");
    EXPECT_FALSE(fs::exists(work / "lzw.tif"));
    EXPECT_FALSE(CompressFile(g4, g4, R"("-c" "lzw")", "lzw"));
    EXPECT_TRUE(ReadBytes(g4) == before);

    // The builtin engine hands the page to the tools for an LZW merge.
    BuiltinBatchOperations builtin;
    EXPECT_FALSE(builtin.Merge(g4, merged, R"("-c" "lzw")", "TRUE", "lzw", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "tiffcp changed page 1: ")) << outcome.reason;
    EXPECT_EQ(builtin.Fallbacks().size(), 1u);
    EXPECT_FALSE(fs::exists(merged));
}

// tiffinfo exits 1 over a sub-directory the copy never reads; libtiff gives
// the bit depth, and g4 is written.
TEST_F(ToolPixelCheck, G3AndG4DoNotHangOnTheReportToolsExitStatus)
{
    const std::string source = work / "subifd.tif";
    ASSERT_TRUE(WriteBrokenSubIfd(source));
    bool ranCleanly = true;
    EXPECT_NE(RunTiffInfo(source, nullptr, &ranCleanly).find("Bits/Sample: 1"), std::string::npos);
    EXPECT_FALSE(ranCleanly);

    ToolOutcome outcome;
    EXPECT_TRUE(CompressFile(source, work / "g4.tif", R"("-c" "g4")", "g4", nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(CompressionOf(work / "g4.tif"), COMPRESSION_CCITTFAX4);
    EXPECT_TRUE(MergeFile(source, merged, R"("-c" "g3")", "TRUE", "g3", nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(CompressionOf(merged), COMPRESSION_CCITTFAX3);

    // A file libtiff cannot read either fails with libtiff's reason.
    const std::string text = work / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    program.WriteScript("tiffinfo", "#!/bin/sh\necho '=== TIFF directory 0 ==='\nexit 1\n");
    EXPECT_FALSE(CompressFile(text, work / "t.tif", R"("-c" "g4")", "g4", nullptr, &outcome));
    EXPECT_TRUE(StartsWith(outcome.reason, "the bit depth cannot be read: ")) << outcome.reason;
    EXPECT_EQ(outcome.reason.find("==="), std::string::npos) << outcome.reason;
}

}  // namespace
}  // namespace pw
