#pragma once
// Case rules for the program's own words (switches, keywords, extensions,
// INI names): ASCII letters only, so that the user's locale never changes
// what a switch or an extension means.

#include <string>
#include <string_view>

namespace pw {

// The text with the letters A to Z turned into a to z; every other byte kept.
std::string AsciiLowercase(std::string text);

// True when the two texts differ at most in the case of the letters A to Z.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace pw
