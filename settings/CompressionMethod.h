#pragma once
// The compression table shared by the Options dialog, the settings store
// and the tool invocations, and the reading of the stored choice.

#include <array>
#include <string>

namespace pw {

struct CompressionMethod {
    int index;              // the value stored under "CompressMethod"
    const char* comboText;  // the text the Options dialog shows
    const char* arguments;  // the tiffcp arguments, each part in double quotes
    const char* name;       // the method name the tool invocations compare
};

extern const std::array<CompressionMethod, 6> kCompressionMethods;

// The row of a method name ("none", "lzw", ... as in the table), or null.
const CompressionMethod* FindCompressionMethod(const std::string& name);

// The arguments text for a stored "CompressMethod" value, compared exactly
// with "0" to "5"; any other value (" 1", "01", "ERROR", "") gives the empty
// text and the method name "none".
std::string CompressionArgumentsFor(const std::string& storedValue, std::string* methodName);

struct ProgramSettingsValues;

// Reads "CompressMethod" from the program settings file and returns its
// arguments text, updating the current method name. When no settings file
// exists, returns the empty text and leaves the name as it is.
std::string ReadCompressionArguments();
// The same from values read already.
std::string CompressionArgumentsOf(const ProgramSettingsValues& values);

// The method name the last ReadCompressionArguments left; empty at start.
// Safe from any thread.
std::string GetCurrentCompressionMethod();
void SetCurrentCompressionMethod(const std::string& name);

}  // namespace pw
