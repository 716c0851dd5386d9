// Writes the program icon, as the window draws it, into an icon theme tree
// for the desktop: PNG pictures of the usual sizes and one SVG picture.
//
// Usage: make-program-icons FOLDER NAME
// writes FOLDER/hicolor/<n>x<n>/apps/NAME.png for n = 16 32 48 64 128 256
// and FOLDER/hicolor/scalable/apps/NAME.svg.
//
// The larger sizes are the 32-pixel picture enlarged by whole factors, so
// that every pixel of the drawing stays a sharp square; the SVG draws the
// 48-pixel picture with one rectangle per run of equal pixels.

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "res/ProgramIcon.h"

namespace {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads an XPM picture with one character per pixel and colours given as
// "c #RRGGBB" or "c None".
Picture ReadXpm(const char* const* xpm) {
    Picture picture;
    int colours = 0, perPixel = 0;
    if (std::sscanf(xpm[0], "%d %d %d %d", &picture.width, &picture.height, &colours, &perPixel) != 4 ||
        perPixel != 1)
        throw std::runtime_error("unexpected XPM header");
    std::map<char, Rgba> palette;
    for (int i = 1; i <= colours; ++i) {
        const std::string line = xpm[i];
        const size_t c = line.find(" c ");
        if (line.empty() || c == std::string::npos)
            throw std::runtime_error("unexpected XPM colour: " + line);
        const std::string value = line.substr(c + 3);
        Rgba colour;
        if (value != "None") {
            unsigned rgb = 0;
            if (value.size() != 7 || value[0] != '#' || std::sscanf(value.c_str() + 1, "%6x", &rgb) != 1)
                throw std::runtime_error("unexpected XPM colour: " + line);
            colour = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                      static_cast<std::uint8_t>(rgb), 255};
        }
        palette[line[0]] = colour;
    }
    for (int y = 0; y < picture.height; ++y) {
        const std::string row = xpm[1 + colours + y];
        if (static_cast<int>(row.size()) != picture.width)
            throw std::runtime_error("XPM row of the wrong width");
        for (char key : row) {
            const auto found = palette.find(key);
            if (found == palette.end())
                throw std::runtime_error("XPM pixel without a colour");
            picture.pixels.push_back(found->second);
        }
    }
    return picture;
}

Picture Enlarge(const Picture& source, int factor) {
    Picture result;
    result.width = source.width * factor;
    result.height = source.height * factor;
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x)
            result.pixels.push_back(source.At(x / factor, y / factor));
    return result;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

std::string EncodePng(const Picture& picture) {
    std::string rows;
    for (int y = 0; y < picture.height; ++y) {
        rows += '\0';  // no filter
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.At(x, y);
            rows += {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b), static_cast<char>(p.a)};
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
                  static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("compression failed");
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(picture.width));
    PutBigEndian(header, static_cast<std::uint32_t>(picture.height));
    header += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, adaptive filters, not interlaced
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", std::string());
    return png;
}

std::string EncodeSvg(const Picture& picture) {
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << picture.width << "\" height=\"" << picture.height
        << "\" viewBox=\"0 0 " << picture.width << ' ' << picture.height << "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width;) {
            const Rgba& p = picture.At(x, y);
            int run = 1;
            while (x + run < picture.width && picture.At(x + run, y) == p)
                ++run;
            if (p.a != 0) {
                char colour[8];
                std::snprintf(colour, sizeof colour, "#%02x%02x%02x", p.r, p.g, p.b);
                svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << run << "\" height=\"1\" fill=\""
                    << colour << "\"/>\n";
            }
            x += run;
        }
    }
    svg << "</svg>\n";
    return svg.str();
}

void Write(const std::filesystem::path& path, const std::string& data) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-program-icons FOLDER NAME\n");
        return 2;
    }
    try {
        const std::filesystem::path theme = std::filesystem::path(argv[1]) / "hicolor";
        const std::string name = argv[2];
        const Picture icon16 = ReadXpm(pw::kProgramIcon16);
        const Picture icon32 = ReadXpm(pw::kProgramIcon32);
        const Picture icon48 = ReadXpm(pw::kProgramIcon48);
        const std::pair<int, Picture> sizes[] = {
            {16, icon16},
            {32, icon32},
            {48, icon48},
            {64, Enlarge(icon32, 2)},
            {128, Enlarge(icon32, 4)},
            {256, Enlarge(icon32, 8)},
        };
        for (const auto& [size, picture] : sizes) {
            const std::string folder = std::to_string(size) + "x" + std::to_string(size);
            Write(theme / folder / "apps" / (name + ".png"), EncodePng(picture));
        }
        Write(theme / "scalable" / "apps" / (name + ".svg"), EncodeSvg(icon48));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-program-icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
