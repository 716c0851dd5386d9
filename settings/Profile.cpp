#include "settings/Profile.h"

#include <climits>
#include <mutex>
#include <optional>

#include "platform/Paths.h"
#include "platform/UserFolders.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"

namespace pw {
namespace {

// One writer at a time within the process, so that two read-modify-write
// cycles on one file cannot lose each other's key.
std::mutex g_fileMutex;

std::optional<std::string> ReadValue(const std::string& section, const std::string& key,
                                     const std::string& file)
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    IniFile ini;
    if (!ini.Load(file))
        return std::nullopt;
    return ini.Get(section, key);
}

}  // namespace

bool ReadPrivateProfileStrings(const std::string& section, const std::vector<std::string>& keys,
                               const std::string& defaultValue, size_t bufferSize, const std::string& file,
                               std::vector<std::string>& values, std::string* problem)
{
    std::vector<IniFile::Key> found;
    for (const std::string& key : keys)
        found.push_back({key, std::nullopt});
    bool read = false;
    {
        std::lock_guard<std::mutex> lock(g_fileMutex);
        read = IniFile::ReadKeys(file, section, found, problem);
    }
    values.clear();
    for (const IniFile::Key& key : found)
        values.push_back(bufferSize == 0 ? std::string() : key.value.value_or(defaultValue).substr(0, bufferSize - 1));
    return read;
}

std::string ReadPrivateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, size_t bufferSize,
                                     const std::string& file)
{
    if (bufferSize == 0)
        return std::string();
    const std::optional<std::string> value = ReadValue(section, key, file);
    const std::string& text = value ? *value : defaultValue;
    return text.substr(0, bufferSize - 1);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file)
{
    return WritePrivateProfileStrings(section, {{key, value}}, file);
}

bool WritePrivateProfileStrings(const std::string& section, const ProfileValues& values, const std::string& file)
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    const std::string folder = SplitPath(file).dir;
    if (!folder.empty() && !IsFolder(folder))
        CreateFolders(folder);
    IniFile ini;
    ini.Load(file);
    for (const auto& [key, value] : values)
        ini.Set(section, key, value);
    return ini.Save(file);
}

std::string ReadWinIniString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, size_t bufferSize)
{
    return ReadPrivateProfileString(section, key, defaultValue, bufferSize, GetWinIniPath());
}

bool WriteWinIniString(const std::string& section, const std::string& key, const std::string& value)
{
    return WritePrivateProfileString(section, key, value, GetWinIniPath());
}

std::string ReadAppProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue)
{
    return ReadValue(section, key, GetAppProfilePath()).value_or(defaultValue);
}

int ParseProfileInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int ReadAppProfileInt(const std::string& section, const std::string& key, int defaultValue)
{
    const std::optional<std::string> value = ReadValue(section, key, GetAppProfilePath());
    return value ? ParseProfileInt(*value) : defaultValue;
}

bool WriteAppProfileString(const std::string& section, const std::string& key, const std::string& value)
{
    return WritePrivateProfileString(section, key, value, GetAppProfilePath());
}

bool WriteAppProfileStrings(const std::string& section, const ProfileValues& values)
{
    return WritePrivateProfileStrings(section, values, GetAppProfilePath());
}

bool WriteAppProfileInt(const std::string& section, const std::string& key, int value)
{
    return WriteAppProfileString(section, key, std::to_string(value));
}

}  // namespace pw
