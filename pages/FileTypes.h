#pragma once
// File-name extensions, image types and the small file helpers of the page
// extraction.

#include <cstdint>
#include <string>

namespace pw {

// Image format codes by file-name extension; only Tiff is acted on, the
// others only tell that a file is not a TIFF file.
enum class ImageType : int {
    Unknown = 0,
    Bmp = 1,
    Gif = 2,
    Jpeg = 3,
    Png = 4,
    Ico = 5,
    Tiff = 6,
    Tga = 7,
    Pcx = 8,
    Wbmp = 9,
    Wmf = 10,
    Jp2 = 11,
    Jpc = 12,
    Pgx = 13,
    Pnm = 14,
    Ras = 15,
    Mng = 17,
};

// The extension of the path's file name without its dot, in lower case
// (ASCII letters only); empty when the name has none.
std::string GetFileExtension(const std::string& path);

// The image type of an extension already in lower case; Unknown for any
// other text.
ImageType ImageTypeFromExtension(const std::string& extension);

// True when the path's extension is "tif" or "tiff", in any case.
bool HasTiffExtension(const std::string& path);

// The length in bytes of a regular file; -1 when there is none at the path
// or it cannot be read (folders, devices and pipes included).
int64_t QueryFileSize(const std::string& path);

// 1 when the file at path is larger than 100 bytes; otherwise the file is
// deleted and the result is 0.
int KeepOutputIfLarge(const std::string& path);

}  // namespace pw
