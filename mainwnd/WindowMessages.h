#pragma once
// The main window's messages for other programs on Windows, and the buffers
// their global atoms are read into (characters, with the closing zero).
//   UM_PROGRESS_TEXT  wParam: bar position 0..100, lParam: atom of a text
//   UM_PING           wParam: 8888, answered with 9999 (anything else: 0)
//   UM_ADD_FILE       lParam: atom whose name is the path of one file
// The numbers are plain so that programs without the toolkit can use them.

namespace pw {

inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned UM_PROGRESS_TEXT = kWmUser + 100;
inline constexpr unsigned UM_PING = kWmUser + 102;
inline constexpr unsigned UM_ADD_FILE = kWmUser + 103;

inline constexpr unsigned kPingQuestion = 8888;
inline constexpr unsigned kPingAnswer = 9999;

inline constexpr unsigned kAddFileAtomBuffer = 500;
inline constexpr unsigned kProgressTextAtomBuffer = 300;

}  // namespace pw
