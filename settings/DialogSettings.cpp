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
    bool ok = WriteAppProfileInt(kPageRange, "SplitOption", settings.splitOption);
    ok = WriteAppProfileString(kPageRange, "strAnyPageRange", settings.anyPageRange) && ok;
    ok = WriteAppProfileInt(kPageRange, "nPageFrom", settings.pageFrom) && ok;
    ok = WriteAppProfileInt(kPageRange, "nPageTo", settings.pageTo) && ok;
    return ok;
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
