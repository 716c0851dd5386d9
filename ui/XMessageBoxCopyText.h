#pragma once
// The text form of a message box that Ctrl+C puts on the clipboard.

#include <optional>
#include <string>
#include <vector>

namespace pw {

// The platform's line end in copied text.
#ifdef _WIN32
inline constexpr const char* kXmbCopyLineEnd = "\r\n";
#else
inline constexpr const char* kXmbCopyLineEnd = "\n";
#endif

// Dash line, title, dash line, the message (when the box has a message
// control), dash line, every button's text without "&" followed by three
// blanks, dash line; lines end in kXmbCopyLineEnd. The title is cut to 999 bytes, the
// message to 3999, each button text to 198 and the whole to 8191.
std::string XmbCopyText(const std::string& title, const std::optional<std::string>& message,
                        const std::vector<std::string>& buttonTexts);

}  // namespace pw
