// The page viewer on a real display: what it draws for each kind of page at
// a known zoom, failed and damaged files, cancellation, its toolbar and keys.

#include "tests/fixtures/TiffFixtures.h"
#include "tests/pages/PageFiles.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/AccessibleName.h"
#include "viewer/CFoliocx.h"
#include "viewer/FolioCanvas.h"
#include "viewer/FolioToolbar.h"

#include <gtest/gtest.h>
#include <wx/settings.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <memory>

namespace pw {
namespace {

using test::TestPage;

struct ViewerWindow {
    std::unique_ptr<wxFrame, void (*)(wxFrame*)> frame{new wxFrame(nullptr, wxID_ANY, "viewer"),
                                                      [](wxFrame* f) { f->Destroy(); }};
    CFoliocx* viewer = new CFoliocx(frame.get(), 1000);
    ViewerWindow() {
        frame->SetClientSize(640, 480);
        frame->Show();
        test::Pump();
    }
    bool WaitSettled(int timeoutMs = 10000) {
        return test::WaitFor(
            [this] {
                return viewer->GetState() != CFoliocx::State::Loading && viewer->GetRunningDecodeCount() == 0;
            },
            timeoutMs);
    }
    bool Open(const std::string& path) {
        viewer->OpenFile(path, "", "", 96);
        viewer->AfterOpen(1);
        return WaitSettled();
    }
};

TestPage Make(uint16_t bits, uint16_t samples, uint16_t photometric, uint16_t compression, uint32_t tile = 0,
              std::function<void(TIFF*)> extra = nullptr) {
    TestPage page;
    page.width = 64;
    page.height = 48;
    page.bitsPerSample = bits;
    page.samplesPerPixel = samples;
    page.photometric = photometric;
    page.compression = compression;
    page.rowsPerStrip = 16;
    page.tileSize = tile;
    page.extraTags = std::move(extra);
    return page;
}

void Palette(TIFF* tif) {
    std::vector<uint16_t> red(256), green(256), blue(256);
    for (size_t i = 0; i < 256; ++i) {
        red[i] = static_cast<uint16_t>(i * 257);
        green[i] = static_cast<uint16_t>(65535 - i * 200);
        blue[i] = static_cast<uint16_t>(i * 7919 % 65536);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

// Each screen pixel at zoom 1/2 is the mean of 2 x 2 page pixels as
// libtiff's RGBA reading decodes them.
TEST(FolioViewer, DrawsEachKindOfPageAsLibtiffDecodesIt) {
    const struct {
        const char* name;
        TestPage page;
    } kinds[] = {
        {"G4", Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4)},
        {"G3", Make(1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3)},
        {"Grey16Zip", Make(16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE)},
        {"PaletteLzw", Make(8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_LZW, 0, Palette)},
        {"RgbLzwTiles", Make(8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, 16)},
        {"Rgb16PackBits", Make(16, 3, PHOTOMETRIC_RGB, COMPRESSION_PACKBITS)},
        {"JpegYCbCr", Make(8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG, 0,
                           [](TIFF* t) { TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); })},
    };
    test::TempFolder folder;
    ViewerWindow w;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::string path = folder / (std::string(kind.name) + ".tif");
        ASSERT_TRUE(test::WriteTestTiff(path, {kind.page}));
        ASSERT_TRUE(w.Open(path));
        ASSERT_EQ(w.viewer->GetState(), CFoliocx::State::Shown) << w.viewer->GetMessage().utf8_str();
        FolioCanvas* canvas = w.viewer->GetCanvas();
        canvas->SetZoom(0.5);
        ASSERT_EQ(canvas->GetPageViewSize(), wxSize(32, 24));
        const std::vector<uint8_t> drawn = canvas->RenderView(wxRect(0, 0, 32, 24));
        const std::vector<uint32_t> rgba = test::RgbaPixels(path, 0);
        ASSERT_EQ(rgba.size(), 64u * 48u);
        int worst = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) {
                int sum[3] = {0, 0, 0};
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) {
                        const uint32_t p = rgba[(y * 2 + dy) * 64 + x * 2 + dx];
                        sum[0] += TIFFGetR(p);
                        sum[1] += TIFFGetG(p);
                        sum[2] += TIFFGetB(p);
                    }
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(drawn[(y * 32 + x) * 3 + c] - (sum[c] + 2) / 4));
            }
        EXPECT_LE(worst, 1);
        // Turned a quarter right, the page's first column is the top row read backwards.
        canvas->RotateRight();
        canvas->SetZoom(1.0);
        ASSERT_EQ(canvas->GetPageViewSize(), wxSize(48, 64));
        const std::vector<uint8_t> turned = canvas->RenderView(wxRect(0, 0, 48, 1));
        const std::vector<uint8_t> upright = w.viewer->GetRaster()->rgb;
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(turned[x * 3], upright[(47 - x) * 64 * 3]) << "column " << x;
    }
}

TEST(FolioViewer, KeepsTheGivenTextAndShowsAMessageForWhatItCannotShow) {
    test::TempFolder folder;
    ViewerWindow w;
    EXPECT_EQ(w.viewer->GetCurrentFile(), "");
    const std::string missing = folder / "no such file.TIF";
    ASSERT_TRUE(w.Open(missing));
    EXPECT_EQ(w.viewer->GetCurrentFile(), missing);
    EXPECT_EQ(w.viewer->GetState(), CFoliocx::State::Failed);
    EXPECT_TRUE(w.viewer->GetMessage().Contains("no such file.TIF")) << w.viewer->GetMessage().utf8_str();
    // The message is painted; a screen reader reads it from the page area.
    EXPECT_EQ(GetAccessibleDescription(w.viewer->GetCanvas()), w.viewer->GetMessage());
    // A path in another form is another text: nothing is normalised.
    const std::string odd = folder.path() + "//./no such file.TIF";
    w.viewer->OpenFile(odd, "", "", 96);
    EXPECT_EQ(w.viewer->GetCurrentFile(), odd);
    ASSERT_TRUE(w.WaitSettled());

    int cases = 0;
    for (const test::DamagedCase& c : test::MakeDamagedCases(folder.path())) {
        SCOPED_TRACE(c.name);
        const std::string path = folder / ("damaged" + std::to_string(cases++) + ".tif");
        ASSERT_TRUE(test::WriteBytes(path, c.bytes));
        ASSERT_TRUE(w.Open(path));
        EXPECT_EQ(w.viewer->GetCurrentFile(), path);
        if (w.viewer->GetState() == CFoliocx::State::Failed)
            EXPECT_FALSE(w.viewer->GetMessage().empty());
        else
            EXPECT_EQ(w.viewer->GetState(), CFoliocx::State::Shown);
        EXPECT_EQ(GetAccessibleDescription(w.viewer->GetCanvas()), w.viewer->GetMessage());
        test::Pump();  // and drawn, whichever it is
    }
    EXPECT_GT(cases, 5);
}

TEST(FolioViewer, ASecondFileCancelsTheFirstAndOnlyTheSecondIsShown) {
    test::TempFolder folder;
    const std::string big = folder / "big.tif", small = folder / "small.tif";
    test::PageSpec bigPage = test::Page(8, COMPRESSION_ADOBE_DEFLATE, 4000, 4000);
    bigPage.rowsPerStrip = 8;
    ASSERT_TRUE(test::WriteTiff(big, 1, bigPage));
    ASSERT_TRUE(test::WriteTiff(small, 2, test::Page(8, COMPRESSION_NONE, 30, 20)));
    ViewerWindow w;
    w.viewer->OpenFile(big, "", "", 96);
    w.viewer->AfterOpen(1);
    w.viewer->OpenFile(small, "", "", 96);
    w.viewer->AfterOpen(1);
    // The first decoding stops early rather than running to its end.
    ASSERT_TRUE(w.WaitSettled(20000));
    test::Pump();
    EXPECT_EQ(w.viewer->GetDecodeCount(), 2);
    EXPECT_EQ(w.viewer->GetCurrentFile(), small);
    ASSERT_EQ(w.viewer->GetState(), CFoliocx::State::Shown);
    EXPECT_EQ(w.viewer->GetRaster()->pageWidth, 30u);
    EXPECT_EQ(w.viewer->GetCanvas()->GetPagesPainted(), 1);  // the big page never reached the screen
    EXPECT_EQ(w.viewer->GetPageCount(), 2);
}

TEST(FolioViewer, ToolbarOrderTipsAndKeys) {
    test::TempFolder folder;
    ViewerWindow w;
    wxToolBar* bar = w.viewer->GetToolbarWindow();
    ASSERT_NE(bar, nullptr);
    ASSERT_GE(bar->GetToolsCount(), 17u);
    EXPECT_EQ(bar->GetToolByPos(0)->GetId(), kToolOpen);
    EXPECT_EQ(bar->GetToolByPos(1)->GetId(), kToolClose);
    EXPECT_EQ(bar->GetToolByPos(2)->GetId(), kToolFirstPage);
    EXPECT_EQ(bar->GetToolByPos(15)->GetId(), kToolRotateRight);
    for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
        if (tool->IsButton())
            EXPECT_FALSE(tool->GetShortHelp().empty()) << "tool " << i;
        else if (tool->IsControl())
            EXPECT_NE(tool->GetControl()->GetToolTip(), nullptr) << "tool " << i;
    }

    const std::string path = folder / "three.tif";
    ASSERT_TRUE(test::WriteTiff(path, 3, test::Page(8, COMPRESSION_LZW, 200, 300)));
    ASSERT_TRUE(w.Open(path));
    ASSERT_EQ(w.viewer->GetPageCount(), 3);
    FolioCanvas* canvas = w.viewer->GetCanvas();
    canvas->SetFocus();
    test::Pump();
    wxUIActionSimulator sim;
    sim.Char(WXK_PAGEDOWN);
    ASSERT_TRUE(test::WaitFor([&] { return w.viewer->GetPageIndex() == 1; }));
    ASSERT_TRUE(w.WaitSettled());
    EXPECT_EQ(w.viewer->GetState(), CFoliocx::State::Shown);
    const std::vector<uint8_t> second = test::PagePixels(test::Page(8, COMPRESSION_LZW, 200, 300), 1);
    EXPECT_EQ(w.viewer->GetRaster()->rgb[0], second[0]);
    sim.Char(WXK_PAGEUP);
    ASSERT_TRUE(test::WaitFor([&] { return w.viewer->GetPageIndex() == 0; }));
    ASSERT_TRUE(w.WaitSettled());
    const double fitted = canvas->GetZoom();
    sim.Char('+');
    ASSERT_TRUE(test::WaitFor([&] { return canvas->GetZoom() > fitted; }));
    EXPECT_NEAR(canvas->GetZoom(), fitted * FolioCanvas::kZoomStep, 1e-9);
    sim.Char('-');
    sim.Char('-');
    ASSERT_TRUE(test::WaitFor([&] { return canvas->GetZoom() < fitted; }));
    const int decodes = w.viewer->GetDecodeCount();
    canvas->FitWidth();
    canvas->RotateLeft();
    canvas->Scroll(0, 5);
    test::Pump();
    EXPECT_EQ(w.viewer->GetDecodeCount(), decodes);  // zoom, turn and scroll use the decoded page
}

// Every tool's sign is drawn in the theme's text colour, which stands out
// from the toolbar in light and dark themes alike (the test runs in both),
// at 16 pixels and at twice that, and no two tools share a sign.
TEST(FolioViewer, ToolSignsReadAsEnabledAtEveryScale) {
    ViewerWindow w;
    wxToolBar* bar = w.viewer->GetToolbarWindow();
    const auto luminance = [](const wxColour& c) { return (0.299 * c.Red() + 0.587 * c.Green() + 0.114 * c.Blue()) / 255; };
    const double face = luminance(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    const double text = luminance(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    std::vector<std::vector<unsigned char>> signs;
    for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
        if (!tool->IsButton())
            continue;
        const wxBitmapBundle bundle = tool->GetNormalBitmapBundle();
        EXPECT_EQ(bundle.GetPreferredBitmapSizeAtScale(2), wxSize(32, 32)) << tool->GetShortHelp();
        for (int size : {16, 32}) {
            wxImage image = bundle.GetBitmap(wxSize(size, size)).ConvertToImage();
            ASSERT_TRUE(image.IsOk() && image.HasAlpha()) << tool->GetShortHelp();
            double ink = 0, weight = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const double a = image.GetAlpha(x, y) / 255.0;
                    ink += a * luminance(wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)));
                    weight += a;
                }
            ASSERT_GT(weight, size * size / 20.0) << tool->GetShortHelp() << " at " << size;
            EXPECT_NEAR(ink / weight, text, 0.1) << tool->GetShortHelp();
            EXPECT_GT(std::abs(ink / weight - face), 0.4) << tool->GetShortHelp();
            if (size == 32)
                signs.emplace_back(image.GetAlpha(), image.GetAlpha() + size * size);
        }
    }
    for (size_t a = 0; a < signs.size(); ++a)
        for (size_t b = a + 1; b < signs.size(); ++b)
            EXPECT_NE(signs[a], signs[b]) << a << " " << b;
}

}  // namespace
}  // namespace pw
