#include "settings/ProgramSettings.h"

#include "settings/Profile.h"
#include "settings/SettingsFiles.h"

namespace pw {
namespace {

const char kSection[] = "Pagewright";

std::string Read(const char* key)
{
    return ReadPrivateProfileString(kSection, key, "ERROR", kProfileBufferSize, GetProgramSettingsPath());
}

bool Write(const char* key, const std::string& value)
{
    return WritePrivateProfileString(kSection, key, value, GetProgramSettingsPath());
}

}  // namespace

bool IsUnsetSetting(const std::string& value)
{
    return value.empty() || value == "ERROR";
}

std::string ReadNamingRule()
{
    return Read("Name");
}

bool WriteNamingRule(const std::string& rule)
{
    return Write("Name", rule);
}

std::string ReadCompressMethodSetting()
{
    return Read("CompressMethod");
}

bool WriteCompressMethodSetting(int index)
{
    return Write("CompressMethod", std::to_string(index));
}

std::string ReadUseCompressMethod()
{
    return Read("UseCompressMethod");
}

bool WriteUseCompressMethod(bool use)
{
    return Write("UseCompressMethod", use ? "TRUE" : "FALSE");
}

bool IsUseCompressionOn(const std::string& value)
{
    return value == "TRUE";
}

}  // namespace pw
