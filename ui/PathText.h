#pragma once
// File paths between the program's byte strings and the toolkit's text.
// Bytes that are not valid UTF-8 are carried through as private-use
// characters, so every path read back from a window is the path put in.

#include <wx/string.h>

#include <string>

namespace pw {

wxString PathToWx(const std::string& path);
std::string PathFromWx(const wxString& text);

}  // namespace pw
