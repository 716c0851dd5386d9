#pragma once
// The keys of the program settings file, section "Pagewright". Reads return
// the stored text as the profile read gives it ("ERROR" when missing, at
// most 99 characters); each caller applies its own default.

#include <string>

namespace pw {

// The keys as one read of the file gives them (each as the reads below
// return it), for a batch that needs them for every file.
struct ProgramSettingsValues {
    std::string namingRule = "ERROR";         // "Name"
    std::string compressMethod = "ERROR";     // "CompressMethod"
    std::string useCompressMethod = "ERROR";  // "UseCompressMethod"
    std::string engine = "ERROR";             // "Engine"
    bool fileExists = false;                  // something is at the settings file's path
    // When something is there but cannot be read (no permission, a folder,
    // a FIFO): what to tell the user, naming the file; the values are then
    // the defaults.
    std::string problem;
};
ProgramSettingsValues ReadProgramSettings();

// True for the two texts that mean "not set": "ERROR" and the empty text.
bool IsUnsetSetting(const std::string& value);

// "Name": the naming rule of split folders.
std::string ReadNamingRule();
bool WriteNamingRule(const std::string& rule);

// "CompressMethod": the index into the compression table, written as "%d".
std::string ReadCompressMethodSetting();
bool WriteCompressMethodSetting(int index);

// "UseCompressMethod": "TRUE" or "FALSE"; only exactly "TRUE" means on.
std::string ReadUseCompressMethod();
bool WriteUseCompressMethod(bool use);
bool IsUseCompressionOn(const std::string& value);

// "Engine": how merge and split copy pages, "builtin" (the pages as
// stored, without a tool) or "tools" (tiffcp and tiffsplit). Only exactly
// "tools" chooses the tools; unset or any other text is "builtin".
inline constexpr char kEngineBuiltin[] = "builtin";
inline constexpr char kEngineTools[] = "tools";
std::string ReadEngineSetting();
bool WriteEngineSetting(bool builtin);
bool IsBuiltinEngine(const std::string& value);

}  // namespace pw
