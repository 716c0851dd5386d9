#pragma once
// UTF-8 (the program's text) to UTF-16 (the Windows API's) and back.

#include <string>

namespace pw {

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

}  // namespace pw
