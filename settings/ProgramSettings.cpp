#include "settings/ProgramSettings.h"

#include "platform/Paths.h"
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

ProgramSettingsValues ReadProgramSettings()
{
    ProgramSettingsValues values;
    const std::string file = GetProgramSettingsPath();
    values.fileExists = PathExists(file);
    std::vector<std::string> read;
    std::string problem;
    ReadPrivateProfileStrings(kSection, {"Name", "CompressMethod", "UseCompressMethod", "Engine"}, "ERROR",
                              kProfileBufferSize, file, read, &problem);
    if (!problem.empty())
        values.problem = "the settings file " + file + " cannot be read (" + problem + "); the defaults are used";
    values.namingRule = read[0];
    values.compressMethod = read[1];
    values.useCompressMethod = read[2];
    values.engine = read[3];
    return values;
}

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

std::string ReadEngineSetting()
{
    return Read("Engine");
}

bool WriteEngineSetting(bool builtin)
{
    return Write("Engine", builtin ? kEngineBuiltin : kEngineTools);
}

bool IsBuiltinEngine(const std::string& value)
{
    return value != kEngineTools;
}

}  // namespace pw
