#pragma once
// The buttons of a message box: the caption table, the button sets of the
// style word, the default button and the answer to Escape and the close box.
// Pure data and rules, so that they can be checked without a display.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pw {

// Indexes into the caption table.
enum XmbCaption : int {
    kCapAbort = 0,
    kCapCancel,
    kCapContinue,
    kCapDontAskAgain,
    kCapDontTellAgain,
    kCapDontShowAgain,
    kCapHelp,
    kCapIgnore,
    kCapIgnoreAll,
    kCapNo,
    kCapNoToAll,
    kCapOK,
    kCapReport,
    kCapRetry,
    kCapSkip,
    kCapSkipAll,
    kCapTryAgain,
    kCapYes,
    kCapYesToAll,
    kCaptionCount
};

struct XmbCaptionEntry {
    unsigned stringNumber;
    const char* defaultText;
};

// The caption table in index order: string number and default caption.
const std::array<XmbCaptionEntry, kCaptionCount>& XmbCaptionTable();

// Captions hold at most this many bytes (a 100-byte buffer with its end mark).
inline constexpr std::size_t kMaxCaptionBytes = 99;

// Control numbers of the box's fixed controls.
inline constexpr int kIconControlId = 1000;
inline constexpr int kMessageControlId = 1001;
inline constexpr int kHelpButtonId = 300;
inline constexpr int kReportButtonId = 301;
inline constexpr int kCheckBoxId = 5555;

// One button of the row: the caption's index (or -1 for a custom caption)
// and the control number, which is also the result it gives.
struct XmbButton {
    int caption;
    int id;
    std::string customText;  // used when caption is -1

    bool operator==(const XmbButton&) const = default;
};

// Looks up a string by number; nullopt when there is none.
using XmbStringLookup = std::function<std::optional<std::string>(unsigned number)>;

// The 19 captions a box shows: the defaults, replaced by the non-empty
// custom captions when useCustom is set, else (unless noStringResources) by
// the strings the lookup finds. A report caption, when given, wins in every
// case. Every caption is cut to kMaxCaptionBytes.
std::array<std::string, kCaptionCount> ResolveCaptions(bool useCustom,
                                                       const std::array<std::string, kCaptionCount>& custom,
                                                       bool noStringResources,
                                                       const XmbStringLookup& strings,
                                                       const std::optional<std::string>& reportCaption);

// The custom captions of a "\n"-separated text: at most four, empty parts
// skipped.
std::vector<std::string> SplitCustomButtons(const std::string& text);

// The row of buttons for a style word: the set's buttons (or the custom ones,
// numbered 23 to 26, when customButtons is not empty), then Help with MB_HELP
// and Report when a report function is set.
std::vector<XmbButton> RowButtons(unsigned style, const std::vector<std::string>& customButtons,
                                  bool withReport);

// The 1-based position of the default button in a row of `count` buttons,
// from the style's 0xF00 bits; positions beyond the row fall back to 1.
int DefaultButtonPosition(unsigned style, int count);

// What Escape and the close box answer: IDCANCEL for the sets with Cancel,
// IDOK for the plain OK set, nothing (nullopt) for every other set and for
// custom buttons.
std::optional<int> EscapeResult(unsigned style, bool customButtons);

// The caption index of the check box the style asks for (only the first of
// the three bits counts), or -1 when there is none; and its style bit.
int CheckBoxCaption(unsigned style);
unsigned CheckBoxBit(unsigned style);

// Cuts a UTF-8 text to at most maxBytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

// The text itself when it is valid UTF-8, else its bytes read as Latin-1, so
// that a text in another encoding still shows instead of vanishing.
std::string ValidUtf8(const std::string& text);

}  // namespace pw
