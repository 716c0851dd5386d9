#include "settings/DialogSettings.h"

#include "settings/Profile.h"

namespace pw {
namespace {

const char kPageRange[] = "PageRangeDlg";

}  // namespace

PageRangeSettings ReadPageRangeSettings(const PageRangeSettings& defaults)
{
    PageRangeSettings settings;
    settings.splitOption = ReadAppProfileInt(kPageRange, "SplitOption", defaults.splitOption);
    settings.anyPageRange = ReadAppProfileString(kPageRange, "strAnyPageRange", defaults.anyPageRange);
    settings.pageFrom = ReadAppProfileInt(kPageRange, "nPageFrom", defaults.pageFrom);
    settings.pageTo = ReadAppProfileInt(kPageRange, "nPageTo", defaults.pageTo);
    return settings;
}

bool WritePageRangeSettings(const PageRangeSettings& settings)
{
    // One update of the file for the four keys: each update makes the file
    // durable on disk, which costs more than the extraction of a small file.
    return WriteAppProfileStrings(kPageRange, {{"SplitOption", std::to_string(settings.splitOption)},
                                               {"strAnyPageRange", settings.anyPageRange},
                                               {"nPageFrom", std::to_string(settings.pageFrom)},
                                               {"nPageTo", std::to_string(settings.pageTo)}});
}

std::string ReadOpenFolder()
{
    return ReadAppProfileString("OpenFolder", "Folder");
}

bool WriteOpenFolder(const std::string& folder)
{
    return WriteAppProfileString("OpenFolder", "Folder", folder);
}

std::string ReadInputDir()
{
    return ReadWinIniString("Parameter", "InputDir", std::string(), 260);
}

bool WriteInputDir(const std::string& folder)
{
    return WriteWinIniString("Parameter", "InputDir", folder);
}

}  // namespace pw
