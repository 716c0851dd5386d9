#pragma once
// The language of the texts the toolkit and the system libraries show.

#include <cstdint>
#include <string>
#include <vector>

// <windows.h> has these as macros; here they are the program's own constants.
#undef LANG_ENGLISH
#undef SUBLANG_ENGLISH_US

namespace pw {

inline constexpr uint16_t LANG_ENGLISH = 0x09;
inline constexpr uint16_t SUBLANG_ENGLISH_US = 0x01;

// The locale names tried for a language, best first; empty when the
// language is not known here.
std::vector<std::string> UiLocaleNames(uint16_t primaryLanguage, uint16_t subLanguage);

// Makes the language the process's message language (LC_MESSAGES), using the
// first of its locale names that the system has, whatever language list the
// environment asks for. Nothing happens, and nothing is reported, when it
// has none of them.
void SelectUiLanguage(uint16_t primaryLanguage, uint16_t subLanguage);

}  // namespace pw
