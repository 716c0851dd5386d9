#pragma once
// Helpers shared by the tool invocation tests.

#include <dirent.h>
#include <tiffio.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DebugTrace.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw::test {

// Collects the command lines the runner traces while it lives.
class TraceCapture {
public:
    TraceCapture()
    {
        SetDebugTraceSink([this](const std::string& text) {
            std::lock_guard<std::mutex> lock(mutex_);
            std::string line = text;
            if (!line.empty() && line.back() == '\n')
                line.pop_back();
            lines_.push_back(line);
        });
    }
    ~TraceCapture() { SetDebugTraceSink(nullptr); }

    std::vector<std::string> lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// The compression tag of page i; 0 when the file or the page cannot be read.
inline uint16_t CompressionOf(const std::string& path, int page = 0)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr)
        return 0;
    uint16_t compression = 0;
    if (TIFFSetDirectory(tif, static_cast<tdir_t>(page)))
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    return compression;
}

// The names in the folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// True when every page of `copy` holds the pixels of the matching page of
// the listed files, taken in order, and there are no other pages.
inline bool HasPagesOf(const std::string& copy, const std::vector<std::pair<std::string, int>>& sources)
{
    int page = 0;
    for (const auto& [file, pages] : sources) {
        for (int i = 0; i < pages; ++i, ++page) {
            const std::vector<uint8_t> expected = ReadPagePixels(file, i);
            if (expected.empty() || ReadPagePixels(copy, page) != expected)
                return false;
        }
    }
    return CountDirectories(copy) == page;
}

// A copy of an LZW file whose compressed data is overwritten with noise,
// while its header and directory stay intact: tools open it and then fail
// while reading the pixels.
inline bool WriteCorruptPixelData(const std::string& path)
{
    const std::string clean = path + ".clean";
    if (!WriteTiff(clean, 1, Page(8, COMPRESSION_LZW, 512, 512)))
        return false;
    std::string bytes = ReadBytes(clean);
    ::unlink(clean.c_str());
    uint32_t state = 1;
    for (size_t i = 200; i < 20000 && i < bytes.size(); ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return WriteBytes(path, bytes);
}

}  // namespace pw::test
