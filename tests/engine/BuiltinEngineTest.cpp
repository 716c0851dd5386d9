// The builtin engine of the command line: merge and split without a tool,
// page by page the pixels of the sources, through the batch worker loop.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "engine/BatchWorker.h"
#include "engine/BuiltinBatchOperations.h"
#include "engine/ParallelBatch.h"
#include "engine/ToolInvocations.h"
#include "pages/TiffPages.h"
#include "platform/ProcessRunner.h"
#include "tests/engine/ToolTestSupport.h"
#include "tests/fixtures/HostileTiffs.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"

namespace pw {
namespace {

using namespace pw::test;
using ::testing::HasSubstr;

class Statuses : public BatchObserver, public BatchWorkerHost {
public:
    void OnProgress(int) override {}
    void OnItemStarted(int) override {}
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (results.size() <= static_cast<size_t>(index))
            results.resize(static_cast<size_t>(index) + 1);
        results[static_cast<size_t>(index)] = status + (reason.empty() ? "" : ": " + reason);
    }
    bool IsStopRequested() const override { return false; }
    bool Notify(std::function<void()> notice, bool) override
    {
        notice();
        return true;
    }
    StopSignal* ToolStopSignal() override { return &signal; }

    std::vector<std::string> results;
    StopSignal signal;
    std::mutex mutex_;
};

BatchJob MergeJob(const std::vector<std::string>& sources, const std::string& output,
                  const std::string& arguments = "", bool compress = false, const std::string& method = "none")
{
    BatchJob job;
    job.sources = sources;
    job.outputs.assign(sources.size(), output);
    job.compressionArguments.assign(sources.size(), arguments);
    job.useCompression = compress ? "TRUE" : "FALSE";
    job.compressionMethod = method;
    return job;
}

std::vector<std::string> RunJob(const char* operation, const BatchJob& job, BatchOperations& operations)
{
    Statuses statuses;
    RunBatchWorker(operation, job, operations, statuses, statuses);
    return statuses.results;
}

std::string PageNumber(const std::string& path, int page)
{
    return PageTags(path, page)["PageNumber"];
}

// Every kind of page the shared fixtures write.
std::vector<std::pair<std::string, PageSpec>> FixtureKinds()
{
    auto with = [](PageSpec shape, bool tiled, uint16_t samples = 1) {
        shape.tiled = tiled;
        shape.samplesPerPixel = samples;
        return shape;
    };
    return {
        {"None8", with(Page(8, COMPRESSION_NONE), false)},
        {"None8Tiles", with(Page(8, COMPRESSION_NONE), true)},
        {"None16", with(Page(16, COMPRESSION_NONE), false)},
        {"None1", with(Page(1, COMPRESSION_NONE, 61, 40), false)},
        {"NoneRgb", with(Page(8, COMPRESSION_NONE), false, 3)},
        {"Lzw8", with(Page(8, COMPRESSION_LZW), false)},
        {"LzwRgbTiles", with(Page(8, COMPRESSION_LZW), true, 3)},
        {"Lzw16", with(Page(16, COMPRESSION_LZW), false)},
        {"Zip8", with(Page(8, COMPRESSION_ADOBE_DEFLATE), false)},
        {"Zip8Tiles", with(Page(8, COMPRESSION_ADOBE_DEFLATE), true)},
        {"ZipRgb16", with(Page(16, COMPRESSION_ADOBE_DEFLATE), false, 3)},
        {"PackBits8", with(Page(8, COMPRESSION_PACKBITS), false)},
        {"PackBits1", with(Page(1, COMPRESSION_PACKBITS), false)},
        {"G3", with(Page(1, COMPRESSION_CCITTFAX3, 200, 50), false)},
        {"G3Tiles", with(Page(1, COMPRESSION_CCITTFAX3, 64, 48), true)},
        {"G4", with(Page(1, COMPRESSION_CCITTFAX4, 200, 50), false)},
        {"G4Tiles", with(Page(1, COMPRESSION_CCITTFAX4, 64, 48), true)},
        {"G4OddWidth", with(Page(1, COMPRESSION_CCITTFAX4, 37, 21), false)},
    };
}

class BuiltinEngine : public ::testing::Test {
protected:
    TempFolder work_;
    ProgramFolder program_;  // the tools, for the files that fall back to them
};

TEST_F(BuiltinEngine, MergeAndSplitKeepThePixelsOfEveryKindOfFixturePage)
{
    const auto kinds = FixtureKinds();
    std::vector<std::string> sources;
    for (const auto& [name, shape] : kinds) {
        sources.push_back(work_ / (name + ".tif"));
        ASSERT_TRUE(WriteTiff(sources.back(), 2, shape)) << name;
    }
    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "merged.tif";
    const auto results = RunJob(kOperationMerge, MergeJob(sources, merged), builtin);
    ASSERT_EQ(results, std::vector<std::string>(kinds.size(), "Success"));
    ASSERT_EQ(CountDirectories(merged), static_cast<int>(2 * kinds.size()));
    for (size_t k = 0; k < kinds.size(); ++k) {
        for (int page = 0; page < 2; ++page) {
            const int at = static_cast<int>(2 * k) + page;
            SCOPED_TRACE(kinds[k].first + " page " + std::to_string(page + 1));
            EXPECT_EQ(ReadPagePixels(merged, at), PagePixels(kinds[k].second, page));
            EXPECT_EQ(StoredStrips(merged, at), StoredStrips(sources[k], page)) << "copied, not re-encoded";
            EXPECT_EQ(PageNumber(merged, at), std::to_string(at) + ",0") << "numbered in the output";
        }
    }

    BatchJob split;
    for (size_t k = 0; k < kinds.size(); ++k) {
        const std::string folder = work_ / ("split" + std::to_string(k));
        ::mkdir(folder.c_str(), 0777);
        split.sources.push_back(sources[k]);
        split.outputs.push_back(folder + "/" + kinds[k].first + ".tif");
        split.compressionArguments.push_back("");
    }
    EXPECT_EQ(RunJob(kOperationSplit, split, builtin), std::vector<std::string>(kinds.size(), "Success"));
    for (size_t k = 0; k < kinds.size(); ++k) {
        const std::string folder = work_ / ("split" + std::to_string(k));
        const std::string base = folder + "/" + kinds[k].first;
        EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{kinds[k].first + "aaa.tif",
                                                                   kinds[k].first + "aab.tif"}));
        for (int page = 0; page < 2; ++page) {
            const std::string file = base + (page == 0 ? "aaa.tif" : "aab.tif");
            EXPECT_EQ(CountDirectories(file), 1);
            EXPECT_EQ(ReadPagePixels(file, 0), PagePixels(kinds[k].second, page)) << file;
        }
    }
    EXPECT_TRUE(builtin.Fallbacks().empty());
}

TEST_F(BuiltinEngine, JpegPagesAreCopiedWithoutReencodingWhereTheToolsReencodeThem)
{
    TestPage jpeg;
    jpeg.samplesPerPixel = 3;
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.compression = COMPRESSION_JPEG;
    jpeg.rowsPerStrip = 16;
    jpeg.extraTags = [](TIFF* t) {
        TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        TIFFSetField(t, TIFFTAG_JPEGQUALITY, 60);
    };
    TestPage grey = jpeg;
    grey.samplesPerPixel = 1;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    grey.tileSize = 16;
    grey.extraTags = nullptr;
    const std::string a = work_ / "a.tif";
    const std::string b = work_ / "b.tif";
    ASSERT_TRUE(WriteTestTiff(a, {jpeg, jpeg}));
    ASSERT_TRUE(WriteTestTiff(b, {grey}));

    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "merged.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({a, b}, merged), builtin),
              (std::vector<std::string>{"Success", "Success"}));
    const std::pair<std::string, int> pages[] = {{a, 0}, {a, 1}, {b, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(StoredStrips(merged, i), StoredStrips(pages[i].first, pages[i].second)) << i;
        EXPECT_EQ(RgbaPixels(merged, i), RgbaPixels(pages[i].first, pages[i].second)) << i;
    }
    const std::string viaTools = work_ / "tools.tif";
    // tiffcp decodes and encodes JPEG anew, which the check after it finds.
    EXPECT_EQ(RunJob(kOperationMerge, MergeJob({a}, viaTools), ToolBatchOperations()),
              (std::vector<std::string>{
                  "Failed: tiffcp changed page 1: its pixels differ from the source's from row 1, column 1 on"}));
    EXPECT_FALSE(std::filesystem::exists(viaTools));

    const std::string folder = work_ / "split";
    ::mkdir(folder.c_str(), 0777);
    ASSERT_TRUE(builtin.Split(a, folder + "/a.tif", nullptr, nullptr));
    EXPECT_EQ(StoredStrips(folder + "/aaab.tif", 0), StoredStrips(a, 1));
}

TEST_F(BuiltinEngine, FilesTheRawCopyCannotServeGoThroughTheToolsAndAreNoted)
{
    const std::string g4 = work_ / "g4.tif";
    const std::string lzw = work_ / "lzw.tif";
    const std::string grey = work_ / "grey.tif";
    const PageSpec g4Shape = Page(1, COMPRESSION_CCITTFAX4, 200, 50);
    const PageSpec lzwShape = Page(8, COMPRESSION_LZW);
    ASSERT_TRUE(WriteTiff(g4, 2, g4Shape));
    ASSERT_TRUE(WriteTiff(lzw, 1, lzwShape));
    ASSERT_TRUE(WriteTiff(grey, 1, Page(8, COMPRESSION_PACKBITS)));

    // The merge recompresses to lzw: the G4 file must change, the LZW one not.
    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "lzw-merge.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({g4, lzw}, merged, "\"-c\" \"lzw\"", true, "lzw"), builtin),
              (std::vector<std::string>{"Success", "Success"}));
    ASSERT_EQ(builtin.Fallbacks().size(), 1u);
    EXPECT_EQ(builtin.Fallbacks()[0].source, g4);
    EXPECT_EQ(builtin.Fallbacks()[0].why, "the merge stores its pages as lzw");
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(CompressionOf(merged, page), COMPRESSION_LZW) << page;
    EXPECT_EQ(ReadPagePixels(merged, 1), PagePixels(g4Shape, 1));
    EXPECT_EQ(ReadPagePixels(merged, 2), PagePixels(lzwShape, 0));
    EXPECT_EQ(StoredStrips(merged, 2), StoredStrips(lzw, 0));

    // g4 with a grey file: the tools append it without compression, as
    // stored, so the builtin copy serves.
    BuiltinBatchOperations g4Merge;
    const std::string second = work_ / "g4-merge.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({g4, grey}, second, "\"-c\" \"g4\"", true, "g4"), g4Merge),
              (std::vector<std::string>{"Success", "Success"}));
    EXPECT_TRUE(g4Merge.Fallbacks().empty());
    EXPECT_EQ(CompressionOf(second, 2), COMPRESSION_PACKBITS);

    // 16-bit samples of the other byte order than the output's, compressed:
    // the byte order lies inside the compressed stream.
    TestPage deep;
    deep.bitsPerSample = 16;
    deep.compression = COMPRESSION_LZW;
    const std::string little = work_ / "little.tif";
    const std::string big = work_ / "big.tif";
    ASSERT_TRUE(WriteTestTiff(little, {deep}, "wl"));
    ASSERT_TRUE(WriteTestTiff(big, {deep}, "wb"));
    BuiltinBatchOperations orders;
    const std::string third = work_ / "orders.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({little, big}, third), orders),
              (std::vector<std::string>{"Success", "Success"}));
    ASSERT_EQ(orders.Fallbacks().size(), 1u);
    EXPECT_EQ(orders.Fallbacks()[0].source, big);
    EXPECT_EQ(DecodedStrips(third, 1), DecodedStrips(big, 0));

    // A scheme libtiff only reads (old-style JPEG).
    TestPage jpeg;
    jpeg.samplesPerPixel = 3;
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.compression = COMPRESSION_JPEG;
    jpeg.rowsPerStrip = jpeg.height;
    jpeg.extraTags = [](TIFF* t) {
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        TIFFSetField(t, TIFFTAG_JPEGTABLESMODE, 0);
    };
    const std::string newStyle = work_ / "new.tif";
    ASSERT_TRUE(WriteTestTiff(newStyle, {jpeg}));
    TiffPatcher patcher(ReadBytes(newStyle));
    patcher.SetValue(0, TIFFTAG_COMPRESSION, COMPRESSION_OJPEG);
    const std::string old = work_ / "old.tif";
    ASSERT_TRUE(patcher.Save(old));
    BuiltinBatchOperations oldStyle;
    ToolOutcome outcome;
    oldStyle.Merge(old, work_ / "old-merge.tif", "", "FALSE", "none", nullptr, &outcome);
    const std::string folder = work_ / "old-split";
    ::mkdir(folder.c_str(), 0777);
    oldStyle.Split(old, folder + "/old.tif", nullptr, &outcome);
    ASSERT_EQ(oldStyle.Fallbacks().size(), 2u);
    EXPECT_THAT(oldStyle.Fallbacks()[0].why, HasSubstr("which libtiff only reads"));
    EXPECT_THAT(oldStyle.Fallbacks()[1].why, HasSubstr("which libtiff only reads"));

    // Found on the second page, after the first was written: the split is
    // the tools' alone.
    const std::string mixedNew = work_ / "mixed-new.tif";
    ASSERT_TRUE(WriteTestTiff(mixedNew, {jpeg, jpeg}));
    TiffPatcher mixed(ReadBytes(mixedNew));
    mixed.SetValue(1, TIFFTAG_COMPRESSION, COMPRESSION_OJPEG);
    const std::string late = work_ / "late.tif";
    ASSERT_TRUE(mixed.Save(late));
    const std::string byCopy = work_ / "late-copy";
    const std::string byTool = work_ / "late-tool";
    ::mkdir(byCopy.c_str(), 0777);
    ::mkdir(byTool.c_str(), 0777);
    oldStyle.Split(late, byCopy + "/late.tif", nullptr, &outcome);
    SplitFile(late, byTool + "/late.tif", nullptr, &outcome);
    ASSERT_EQ(oldStyle.Fallbacks().size(), 3u);
    EXPECT_THAT(oldStyle.Fallbacks()[2].why, HasSubstr("page 2 is in compression scheme 6"));
    EXPECT_EQ(FolderEntries(byCopy), FolderEntries(byTool));
    for (const std::string& name : FolderEntries(byTool))
        EXPECT_EQ(ReadBytes(byCopy + "/" + name), ReadBytes(byTool + "/" + name)) << name;
}

// A LogLuv page's stored data is a byte stream, read the same in either
// byte order; uncompressed 16-bit samples are swapped on the way. Neither
// needs the tools (which decode LogLuv and store it anew).
TEST_F(BuiltinEngine, PagesOfTheOtherByteOrderAreCopiedWithoutTheTools)
{
    TestPage logLuv = Make(32, 3, PHOTOMETRIC_LOGLUV, COMPRESSION_SGILOG24,
                           [](TIFF* t) { TIFFSetField(t, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT); });
    logLuv.rawStrips = nullptr;
    const std::string little = work_ / "little.tif";
    const std::string big = work_ / "big.tif";
    ASSERT_TRUE(WriteTiff(little, 1, Page(8, COMPRESSION_LZW)));
    ASSERT_TRUE(WriteTestTiff(big, {logLuv, Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE)}, "wb"));
    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "merged.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({little, big}, merged), builtin),
              (std::vector<std::string>{"Success", "Success"}));
    EXPECT_TRUE(builtin.Fallbacks().empty());
    EXPECT_EQ(ReadBytes(merged).substr(0, 2), "II");
    ASSERT_EQ(CountDirectories(merged), 3);
    const std::vector<uint8_t> luv = DecodedStrips(big, 0);
    ASSERT_FALSE(luv.empty());
    EXPECT_EQ(DecodedStrips(merged, 1), luv);
    EXPECT_EQ(StoredStrips(merged, 1), StoredStrips(big, 0)) << "copied as stored";
    EXPECT_EQ(DecodedStrips(merged, 2), DecodedStrips(big, 1));
    EXPECT_EQ(WithoutTag(ListTags(merged, 2), TIFFTAG_PAGENUMBER), WithoutTag(ListTags(big, 1), TIFFTAG_PAGENUMBER));
}

TEST_F(BuiltinEngine, EveryEntryOfEveryPageSurvivesMergeAndSplit)
{
    const std::string little = work_ / "little.tif";
    const std::string big = work_ / "big.tif";
    ASSERT_TRUE(WriteTaggedTiff(little, 2, "wl"));
    ASSERT_TRUE(WriteTaggedTiff(big, 1, "wb"));
    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "merged.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({little, big}, merged), builtin),
              (std::vector<std::string>{"Success", "Success"}));
    EXPECT_TRUE(builtin.Fallbacks().empty());
    const std::pair<std::string, int> pages[] = {{little, 0}, {little, 1}, {big, 0}};
    const char* numbers[] = {"297 3 2 00000000", "297 3 2 00010000", "297 3 2 00020000"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto listing = ListTags(merged, i);
        ASSERT_GT(listing.size(), 25u);
        EXPECT_EQ(WithoutTag(listing, TIFFTAG_PAGENUMBER),
                  WithoutTag(ListTags(pages[i].first, pages[i].second), TIFFTAG_PAGENUMBER));
        EXPECT_NE(std::find(listing.begin(), listing.end(), numbers[i]), listing.end());
        EXPECT_EQ(DecodedStrips(merged, i), DecodedStrips(pages[i].first, pages[i].second));
    }

    const std::string folder = work_ / "split";
    ::mkdir(folder.c_str(), 0777);
    ToolOutcome outcome;
    ASSERT_TRUE(builtin.Split(merged, folder + "/p.tif", nullptr, &outcome)) << outcome.reason;
    const std::string names[] = {"paaa.tif", "paab.tif", "paac.tif"};
    for (int i = 0; i < 3; ++i) {
        const std::string file = folder + "/" + names[i];
        EXPECT_EQ(WithoutTag(ListTags(file, 0), TIFFTAG_PAGENUMBER), WithoutTag(ListTags(merged, i), TIFFTAG_PAGENUMBER))
            << file;
    }
}

// A page the entry copy does not take (here: a strip table longer than
// libtiff reads) goes through libtiff's writer, and its page file still
// gets every entry that does not describe the stored data.
TEST_F(BuiltinEngine, APageFileWrittenThroughLibtiffKeepsTheOtherEntries)
{
    const std::string tagged = work_ / "tagged.tif";
    ASSERT_TRUE(WriteTaggedTiff(tagged, 1, "wl", 8, COMPRESSION_NONE));
    TiffPatcher patched(ReadBytes(tagged));
    patched.SetValue(0, TIFFTAG_ROWSPERSTRIP, 30);  // one strip to libtiff, four in the table
    const std::string source = work_ / "long-table.tif";
    ASSERT_TRUE(patched.Save(source));
    const std::string folder = work_ / "split-long-table";
    ::mkdir(folder.c_str(), 0777);
    BuiltinBatchOperations builtin;
    ToolOutcome outcome;
    ASSERT_TRUE(builtin.Split(source, folder + "/p.tif", nullptr, &outcome)) << outcome.reason;
    EXPECT_TRUE(builtin.Fallbacks().empty());
    // The entries that do not describe the data, with the directories
    // under them.
    auto kept = [](const std::vector<std::string>& listing) {
        const std::set<int> tags = {33550, 33922, 34735, 34736, 34737, 65000, 65001, 34665, 34853, 34675, 700, 33723, 34377};
        std::vector<std::string> lines;
        bool under = false;
        for (const std::string& line : listing) {
            if (!line.empty() && line[0] == ' ') {
                if (under)
                    lines.push_back(line);
                continue;
            }
            under = tags.count(std::stoi(line)) > 0;
            if (under)
                lines.push_back(line);
        }
        return lines;
    };
    const std::vector<std::string> expected = kept(ListTags(source, 0));
    ASSERT_GT(expected.size(), 13u);
    EXPECT_EQ(kept(ListTags(folder + "/paaa.tif", 0)), expected);
}

// Files whose pages libtiff reads as stored, though their data is damaged
// or in a scheme this libtiff lacks: the split copies them as tiffsplit
// does. One whose directory libtiff cannot read still fails, where
// tiffsplit stops early and reports success.
TEST_F(BuiltinEngine, SplitCopiesThePagesTiffsplitCopies)
{
    std::vector<DamagedCase> cases;
    for (DamagedCase& c : MakeDamagedCases(work_.path())) {
        if (c.name == "uncompressed strip shorter than its rows" || c.name == "unknown compression" ||
            c.name == "unknown compression on the first page" || c.name == "every strip on the same bytes" ||
            c.name == "four billion rows of one row each")
            cases.push_back(c);
    }
    for (const HostileTiff& hostile : HostileTiffs()) {
        if (hostile.name == "cmyk-strip-cut-short")
            cases.push_back({hostile.name, hostile.bytes, 1, 0, 0});
    }
    TestPage next = Make(2, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NEXT);
    next.rawStrips = [next](int) {
        // Every row a literal row: a 0 byte, then its bytes.
        std::vector<std::string> strips;
        for (uint32_t row = 0; row < next.height; row += next.rowsPerStrip) {
            std::string strip;
            for (uint32_t r = row; r < std::min(next.height, row + next.rowsPerStrip); ++r)
                strip += '\0' + std::string((next.width * 2 + 7) / 8, static_cast<char>(r * 37));
            strips.push_back(strip);
        }
        return strips;
    };
    const std::string nextFile = work_ / "next.tif";
    ASSERT_TRUE(WriteTestTiff(nextFile, {next, next}));
    cases.push_back({"next", ReadBytes(nextFile), 2, 0, 0});
    ASSERT_EQ(cases.size(), 7u);

    BuiltinBatchOperations builtin;
    for (size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(cases[k].name);
        const std::string source = work_ / ("case" + std::to_string(k) + ".tif");
        ASSERT_TRUE(WriteBytes(source, cases[k].bytes));
        const std::string byTool = work_ / ("tool" + std::to_string(k));
        const std::string byCopy = work_ / ("copy" + std::to_string(k));
        ::mkdir(byTool.c_str(), 0777);
        ::mkdir(byCopy.c_str(), 0777);
        ToolOutcome tool, copy;
        // The reference is what tiffsplit itself writes, without the check of
        // its pages that a split through the tools gets.
        SetToolPageCheck(false);
        const bool toolSplit = SplitFile(source, byTool + "/p.tif", nullptr, &tool);
        SetToolPageCheck(true);
        ASSERT_TRUE(toolSplit) << tool.reason;
        const bool copied = builtin.Split(source, byCopy + "/p.tif", nullptr, &copy);
        if (cases[k].name == "four billion rows of one row each") {
            EXPECT_FALSE(copied);
            EXPECT_THAT(copy.reason, HasSubstr("page 2: "));
            EXPECT_EQ(FolderEntries(byTool).size(), 1u) << "of 3 pages";
            continue;
        }
        ASSERT_TRUE(copied) << copy.reason;
        const auto names = FolderEntries(byCopy);
        EXPECT_EQ(names, FolderEntries(byTool));
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string file = byCopy + "/" + names[i];
            const int page = static_cast<int>(i);
            EXPECT_EQ(WithoutTag(ListTags(file, 0), TIFFTAG_PAGENUMBER),
                      WithoutTag(ListTags(source, page), TIFFTAG_PAGENUMBER)) << file;
            if (cases[k].name == "every strip on the same bytes")
                EXPECT_EQ(DecodedStrips(file, 0), DecodedStrips(source, page)) << file;
            else
                EXPECT_EQ(StoredStrips(file, 0), StoredStrips(source, page)) << file;
        }
        if (cases[k].name == "every strip on the same bytes") {
            // tiffcp merges it too; the copy holds the shared bytes once.
            const std::string merged = work_ / "shared-merged.tif";
            ASSERT_EQ(RunJob(kOperationMerge, MergeJob({source}, merged), builtin),
                      (std::vector<std::string>{"Success"}));
            EXPECT_EQ(DecodedStrips(merged, 0), DecodedStrips(source, 0));
            EXPECT_LT(ReadBytes(merged).size(), ReadBytes(source).size() + 1024);
        }
    }
    EXPECT_TRUE(builtin.Fallbacks().empty()) << builtin.Fallbacks()[0].why;

    // The NeXT pages are merged as stored too.
    const std::string merged = work_ / "next-merged.tif";
    ASSERT_EQ(RunJob(kOperationMerge, MergeJob({nextFile}, merged), builtin), (std::vector<std::string>{"Success"}));
    EXPECT_TRUE(builtin.Fallbacks().empty());
    EXPECT_EQ(StoredStrips(merged, 1), StoredStrips(nextFile, 1));
}

TEST_F(BuiltinEngine, AFailedFileLeavesThePagesMergedSoFarAsTheyWere)
{
    const PageSpec shape = Page(1, COMPRESSION_CCITTFAX4, 200, 50);
    const std::string a = work_ / "a.tif";
    const std::string c = work_ / "c.tif";
    ASSERT_TRUE(WriteTiff(a, 2, shape));
    ASSERT_TRUE(WriteTiff(c, 1, Page(8, COMPRESSION_LZW)));
    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    // Its first page whole, the second's data cut off.
    const std::string whole = work_ / "whole.tif";
    ASSERT_TRUE(WriteTiff(whole, 2, Page(8, COMPRESSION_NONE, 64, 480)));
    TiffPatcher cut(ReadBytes(whole));
    cut.SetElement(1, TIFFTAG_STRIPBYTECOUNTS, 3, 0);
    const std::string damaged = work_ / "damaged.tif";
    ASSERT_TRUE(cut.Save(damaged));

    BuiltinBatchOperations builtin;
    const std::string merged = work_ / "merged.tif";
    const auto results =
        RunJob(kOperationMerge, MergeJob({a, text, damaged, work_ / "missing.tif", c}, merged), builtin);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0], "Success");
    EXPECT_THAT(results[1], HasSubstr("Failed: not a readable TIFF file"));
    EXPECT_THAT(results[2], HasSubstr("Failed: page 2"));
    EXPECT_EQ(results[3], "Failed: source missing");
    EXPECT_EQ(results[4], "Success");
    ASSERT_EQ(CountDirectories(merged), 3);
    EXPECT_EQ(ReadPagePixels(merged, 1), PagePixels(shape, 1));
    EXPECT_EQ(ReadPagePixels(merged, 2), PagePixels(Page(8, COMPRESSION_LZW), 0));

    // A stop before a file appends nothing; the output is left byte for byte.
    const std::string before = ReadBytes(merged);
    StopSignal stop;
    stop.Request();
    ToolOutcome outcome;
    EXPECT_FALSE(builtin.Merge(a, merged, "", "FALSE", "none", &stop, &outcome));
    EXPECT_EQ(outcome.reason, "stopped");
    EXPECT_EQ(ReadBytes(merged), before);
    EXPECT_FALSE(builtin.Merge(merged, merged, "", "FALSE", "none", nullptr, &outcome));
    EXPECT_EQ(outcome.reason, "output is the source");

    // An output taken away between two files is started afresh.
    ::unlink(merged.c_str());
    EXPECT_TRUE(builtin.Merge(c, merged, "", "FALSE", "none", nullptr, &outcome)) << outcome.reason;
    EXPECT_EQ(CountDirectories(merged), 1);
}

TEST_F(BuiltinEngine, SplitNamesItsPagesAsTiffsplitDoesAndFailsCleanly)
{
    EXPECT_EQ(SplitPageSuffix(0), "aaa");
    EXPECT_EQ(SplitPageSuffix(27), "abb");
    EXPECT_EQ(SplitPageSuffix(26 * 26 * 26 - 1), "zzz");
    EXPECT_EQ(SplitPageSuffix(26 * 26 * 26), "");

    const PageSpec shape = Page(8, COMPRESSION_ADOBE_DEFLATE);
    const std::string source = work_ / "thirty.tif";
    ASSERT_TRUE(WriteTiff(source, 30, shape));
    const std::string byTool = work_ / "tool";
    const std::string byCopy = work_ / "copy";
    ::mkdir(byTool.c_str(), 0777);
    ::mkdir(byCopy.c_str(), 0777);
    BuiltinBatchOperations builtin;
    ToolOutcome outcome;
    ASSERT_TRUE(SplitFile(source, byTool + "/p.tif", nullptr, &outcome)) << outcome.reason;
    ASSERT_TRUE(builtin.Split(source, byCopy + "/p.tif", nullptr, &outcome)) << outcome.reason;
    const auto names = FolderEntries(byCopy);
    EXPECT_EQ(names, FolderEntries(byTool));
    ASSERT_EQ(names.size(), 30u);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(ReadPagePixels(byCopy + "/" + names[i], 0), PagePixels(shape, static_cast<int>(i))) << names[i];

    const std::string text = work_ / "text.tif";
    ASSERT_TRUE(WriteNonTiff(text));
    EXPECT_FALSE(builtin.Split(text, byCopy + "/t.tif", nullptr, &outcome));
    EXPECT_THAT(outcome.reason, HasSubstr("not a readable TIFF file"));
    EXPECT_FALSE(builtin.Split(source, work_ / "no folder/p.tif", nullptr, &outcome));
    EXPECT_THAT(outcome.reason, HasSubstr("cannot create"));
    StopSignal stop;
    stop.Request();
    EXPECT_FALSE(builtin.Split(source, byCopy + "/s.tif", &stop, &outcome));
    EXPECT_EQ(outcome.reason, "stopped");
    EXPECT_EQ(FolderEntries(byCopy).size(), 30u);
}

// Two files the fuzzers found: a second page whose directory libtiff
// cannot read (no width) once gave a page file of no pages, and an entry of
// no values made the entry copy hand a null pointer to memcpy.
TEST_F(BuiltinEngine, APageLibtiffCannotReadFailsTheSplitAndAnEntryOfNoValuesIsCopied)
{
    RawTiff tiff;
    tiff.Page()
        .Long(TIFFTAG_IMAGEWIDTH, {8})
        .Long(TIFFTAG_IMAGELENGTH, {8})
        .Short(TIFFTAG_BITSPERSAMPLE, {8})
        .Short(TIFFTAG_PHOTOMETRIC, {PHOTOMETRIC_MINISBLACK})
        .Short(TIFFTAG_SAMPLESPERPIXEL, {1})
        .Long(TIFFTAG_ROWSPERSTRIP, {8})
        .Short(50000, {})
        .Data({std::string(64, '\x40')});
    tiff.Page()
        .Long(TIFFTAG_IMAGELENGTH, {8})
        .Short(TIFFTAG_BITSPERSAMPLE, {8})
        .Short(TIFFTAG_PHOTOMETRIC, {PHOTOMETRIC_MINISBLACK})
        .Short(TIFFTAG_SAMPLESPERPIXEL, {1})
        .Long(TIFFTAG_ROWSPERSTRIP, {8})
        .Data({std::string(64, '\x80')});
    const std::string source = work_ / "no-width.tif";
    ASSERT_TRUE(WriteBytes(source, tiff.Bytes()));
    const std::string folder = work_ / "pages";
    ::mkdir(folder.c_str(), 0777);
    BuiltinBatchOperations builtin;
    ToolOutcome outcome;
    EXPECT_FALSE(builtin.Split(source, folder + "/p.tif", nullptr, &outcome));
    EXPECT_THAT(outcome.reason, HasSubstr("page 2"));
    for (const std::string& name : FolderEntries(folder))
        EXPECT_EQ(GetTiffPageCount(folder + "/" + name), 1) << name;

    ExtractControl control;
    const std::string messages = work_ / "messages.txt";
    FILE* sink = fopen(messages.c_str(), "w");
    ASSERT_NE(sink, nullptr);
    control.messages = sink;
    const std::string extracted = work_ / "first.tif";
    EXPECT_EQ(ExtractPages(source, extracted, "1", control), 1) << control.reason;
    fclose(sink);
    EXPECT_EQ(GetTiffPageCount(extracted), 1);
    EXPECT_EQ(ReadPagePixels(extracted, 0), ReadPagePixels(source, 0));
}

// Several workers: every file once, statuses by list index.
TEST_F(BuiltinEngine, AParallelSplitRunsEveryFileOnce)
{
    BatchJob job;
    std::vector<PageSpec> shapes;
    for (int i = 0; i < 12; ++i) {
        shapes.push_back(Page(8, i % 2 ? COMPRESSION_LZW : COMPRESSION_NONE, 40 + i, 30));
        job.sources.push_back(work_ / ("f" + std::to_string(i) + ".tif"));
        ASSERT_TRUE(WriteTiff(job.sources.back(), 1 + i % 3, shapes.back()));
        const std::string folder = work_ / ("out" + std::to_string(i));
        ::mkdir(folder.c_str(), 0777);
        job.outputs.push_back(folder + "/f.tif");
        job.compressionArguments.push_back("");
    }
    ASSERT_TRUE(WriteNonTiff(job.sources[5]));
    BuiltinBatchOperations builtin;
    Statuses statuses;
    ParallelBatch batch;
    batch.Run(kOperationSplit, job, statuses, builtin, 3);
    ASSERT_EQ(statuses.results.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const auto files = FolderEntries(work_ / ("out" + std::to_string(i)));
        if (i == 5) {
            EXPECT_THAT(statuses.results[5], HasSubstr("Failed"));
            continue;
        }
        EXPECT_EQ(statuses.results[i], "Success") << i;
        ASSERT_EQ(files.size(), static_cast<size_t>(1 + i % 3)) << i;
        EXPECT_EQ(ReadPagePixels(work_ / ("out" + std::to_string(i)) + "/" + files.back(), 0),
                  PagePixels(shapes[i], i % 3));
    }

    ParallelBatch stopped;
    stopped.Stop();
    Statuses none;
    stopped.Run(kOperationSplit, job, none, builtin, 3);
    EXPECT_TRUE(none.results.empty()) << "a batch stopped before it ran starts no file";
}

}  // namespace
}  // namespace pw
