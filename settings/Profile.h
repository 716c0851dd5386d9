#pragma once
// The profile operations every setting goes through: a key of a section of
// an initialisation file, read with a default and a buffer size, written
// with the file, section and key created as needed.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pw {

// The buffer every read of the program settings file uses: a longer value
// is seen as its first kProfileBufferSize - 1 characters.
inline constexpr size_t kProfileBufferSize = 100;

// The value of key in section of file, or defaultValue when the file, the
// section or the key is missing; either way at most bufferSize - 1
// characters of it.
std::string ReadPrivateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, size_t bufferSize,
                                     const std::string& file);

// Reads several keys of one section with one read of the file, under the
// same lock as the reads and writes here. values gets each key's value, or
// the default, cut to bufferSize - 1 characters as above. False when the
// file is missing or cannot be read; *problem then says why a file that is
// there could not be read ("" for a missing one).
bool ReadPrivateProfileStrings(const std::string& section, const std::vector<std::string>& keys,
                               const std::string& defaultValue, size_t bufferSize, const std::string& file,
                               std::vector<std::string>& values, std::string* problem);

// Sets the key, creating the file (and its folder), the section and the key
// as needed; everything else in the file stays. False when the file cannot
// be written; the old file is then unchanged.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

// Sets several keys of one section, in the order given, with one update of
// the file: all of them, or none when the file cannot be written.
using ProfileValues = std::vector<std::pair<std::string, std::string>>;
bool WritePrivateProfileStrings(const std::string& section, const ProfileValues& values, const std::string& file);

// The same on the WIN.INI stand-in.
std::string ReadWinIniString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, size_t bufferSize);
bool WriteWinIniString(const std::string& section, const std::string& key, const std::string& value);

// The application profile, read without a length limit. An integer is read
// as an optional sign and the decimal digits that follow (0 when there are
// none); a missing key gives the default.
std::string ReadAppProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue = std::string());
int ReadAppProfileInt(const std::string& section, const std::string& key, int defaultValue);
bool WriteAppProfileString(const std::string& section, const std::string& key, const std::string& value);
bool WriteAppProfileStrings(const std::string& section, const ProfileValues& values);

// The integer reading of the profile: blanks, an optional sign and the
// decimal digits that follow, 0 when there are none, held to int's range.
int ParseProfileInt(const std::string& text);
bool WriteAppProfileInt(const std::string& section, const std::string& key, int value);

}  // namespace pw
