#pragma once
// The keys of the program settings file, section "Pagewright". Reads return
// the stored text as the profile read gives it ("ERROR" when missing, at
// most 99 characters); each caller applies its own default.

#include <string>

namespace pw {

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

}  // namespace pw
