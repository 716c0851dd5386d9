#pragma once
// The program icon (resource 128) as XPM pictures of 16, 32 and 48 pixels.

namespace pw {

extern const char* const kProgramIcon16[];
extern const char* const kProgramIcon32[];
extern const char* const kProgramIcon48[];

}  // namespace pw
