#include "pages/FileTypes.h"

#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/AsciiText.h"
#include "platform/Paths.h"

namespace pw {

std::string GetFileExtension(const std::string& path)
{
    const std::string ext = SplitPath(path).ext;
    return ext.empty() ? ext : AsciiLowercase(ext.substr(1));
}

ImageType ImageTypeFromExtension(const std::string& extension)
{
    static const std::pair<const char*, ImageType> kTable[] = {
        {"bmp", ImageType::Bmp},   {"gif", ImageType::Gif},   {"jpg", ImageType::Jpeg},
        {"jpeg", ImageType::Jpeg}, {"png", ImageType::Png},   {"ico", ImageType::Ico},
        {"tiff", ImageType::Tiff}, {"tif", ImageType::Tiff},  {"tga", ImageType::Tga},
        {"pcx", ImageType::Pcx},   {"wbmp", ImageType::Wbmp}, {"wmf", ImageType::Wmf},
        {"emf", ImageType::Wmf},   {"jp2", ImageType::Jp2},   {"j2k", ImageType::Jp2},
        {"jpc", ImageType::Jpc},   {"j2c", ImageType::Jpc},   {"pgx", ImageType::Pgx},
        {"pnm", ImageType::Pnm},   {"pgm", ImageType::Pnm},   {"ppm", ImageType::Pnm},
        {"ras", ImageType::Ras},   {"mng", ImageType::Mng},   {"jng", ImageType::Mng},
    };
    for (const auto& [name, type] : kTable) {
        if (extension == name)
            return type;
    }
    return ImageType::Unknown;
}

bool HasTiffExtension(const std::string& path)
{
    return ImageTypeFromExtension(GetFileExtension(path)) == ImageType::Tiff;
}

int64_t QueryFileSize(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FileSystemPath(path), error))
        return -1;
    // Opening proves the file can be read, as a size query through the
    // file itself would.
    std::ifstream file(FileSystemPath(path), std::ios::binary);
    if (!file)
        return -1;
    const auto size = std::filesystem::file_size(FileSystemPath(path), error);
    return error ? -1 : static_cast<int64_t>(size);
}

int KeepOutputIfLarge(const std::string& path)
{
    if (QueryFileSize(path) > 100)
        return 1;
    std::error_code error;
    if (!std::filesystem::is_directory(FileSystemPath(path), error))
        std::filesystem::remove(FileSystemPath(path), error);
    return 0;
}

}  // namespace pw
