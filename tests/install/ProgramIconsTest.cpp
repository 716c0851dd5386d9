// The icon theme pictures made at build time show the icon the window
// draws: each PNG, read back by the toolkit's decoder, has the pixels of the
// matching XPM picture (enlarged ones by whole factors), and the SVG's
// rectangles paint the 48-pixel picture exactly.

#include "res/ProgramIcon.h"

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/init.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pw {
namespace {

const std::string kTheme = std::string(PAGEWRIGHT_ICONS) + "/hicolor/";
const std::string kName = "io.github.pagewright.Pagewright";

// Compares `picture` with `source` enlarged by `factor`; fully transparent
// pixels match whatever colour they carry.
void ExpectSamePixels(const wxImage& picture, const wxImage& source, int factor, const std::string& what) {
    ASSERT_TRUE(picture.IsOk()) << what;
    ASSERT_EQ(picture.GetWidth(), source.GetWidth() * factor) << what;
    ASSERT_EQ(picture.GetHeight(), source.GetHeight() * factor) << what;
    int differing = 0;
    for (int y = 0; y < picture.GetHeight(); ++y) {
        for (int x = 0; x < picture.GetWidth(); ++x) {
            const int sx = x / factor, sy = y / factor;
            const bool sourceClear = source.IsTransparent(sx, sy);
            const bool pictureClear = picture.HasAlpha() ? picture.GetAlpha(x, y) == 0 : picture.IsTransparent(x, y);
            if (sourceClear != pictureClear ||
                (!sourceClear && (picture.GetRed(x, y) != source.GetRed(sx, sy) ||
                                  picture.GetGreen(x, y) != source.GetGreen(sx, sy) ||
                                  picture.GetBlue(x, y) != source.GetBlue(sx, sy))))
                ++differing;
        }
    }
    EXPECT_EQ(differing, 0) << what;
}

class ProgramIcons : public testing::Test {
protected:
    static void SetUpTestSuite() { wxImage::AddHandler(new wxPNGHandler); }
    wxInitializer m_toolkit;
};

TEST_F(ProgramIcons, PngPicturesAreTheProgramIconAtEachSize) {
    const wxImage xpm16(kProgramIcon16), xpm32(kProgramIcon32), xpm48(kProgramIcon48);
    const struct {
        int size;
        const wxImage& source;
    } sizes[] = {{16, xpm16}, {32, xpm32}, {48, xpm48}, {64, xpm32}, {128, xpm32}, {256, xpm32}};
    for (const auto& [size, source] : sizes) {
        const std::string path = kTheme + std::to_string(size) + "x" + std::to_string(size) + "/apps/" + kName + ".png";
        wxImage picture;
        ASSERT_TRUE(picture.LoadFile(path, wxBITMAP_TYPE_PNG)) << path;
        ExpectSamePixels(picture, source, size / source.GetWidth(), path);
    }
}

TEST_F(ProgramIcons, SvgPaintsTheLargestPicture) {
    std::ifstream in(kTheme + "scalable/apps/" + kName + ".svg");
    std::stringstream text;
    text << in.rdbuf();
    const std::string svg = text.str();
    ASSERT_NE(svg.find("viewBox=\"0 0 48 48\""), std::string::npos);

    wxImage painted(48, 48);
    painted.InitAlpha();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            painted.SetAlpha(x, y, 0);
    const std::regex rect(R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="(\d+)" fill="#([0-9a-f]{6})"/>)re");
    int rects = 0;
    for (std::sregex_iterator it(svg.begin(), svg.end(), rect), end; it != end; ++it, ++rects) {
        const int x0 = std::stoi((*it)[1]), y0 = std::stoi((*it)[2]);
        const int w = std::stoi((*it)[3]), h = std::stoi((*it)[4]);
        const unsigned long rgb = std::stoul((*it)[5], nullptr, 16);
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                ASSERT_TRUE(x < 48 && y < 48) << "a rectangle outside the picture";
                painted.SetRGB(x, y, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
                painted.SetAlpha(x, y, 255);
            }
    }
    EXPECT_GT(rects, 0);
    ExpectSamePixels(painted, wxImage(kProgramIcon48), 1, "the SVG picture");
}

}  // namespace
}  // namespace pw
