// Reading the bit depth out of a tiffinfo report.

#include <climits>

#include "engine/ToolInvocations.h"

namespace pw {

unsigned ParseLeadingNumber(const char* text)
{
    if (text == nullptr)
        return 0;
    // Only the space character is skipped: "Bits/Sample:\t1" reads as 0.
    while (*text == ' ')
        ++text;
    unsigned value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const unsigned digit = static_cast<unsigned>(*text - '0');
        value = value > (UINT_MAX - digit) / 10 ? UINT_MAX : value * 10 + digit;
    }
    return value;
}

unsigned ScanBitsPerSample(const std::string& report, const char* key)
{
    static constexpr std::string_view kCompress = "Compress";
    const std::string_view keyText = key != nullptr ? key : "";
    std::string_view rest = report;
    unsigned bits = 8;

    size_t compress = rest.find(kCompress);
    while (compress != std::string_view::npos) {
        const size_t at = rest.find(keyText);
        if (at == std::string_view::npos)
            return bits;
        // rest always ends where report ends, so the number is read inside
        // report's own terminated text.
        bits = ParseLeadingNumber(rest.data() + at + keyText.size());
        if (bits != 1)
            return bits;
        // Go on after the first character of the "Compress" of this page:
        // the next key found then belongs to the next page.
        rest.remove_prefix(compress + 1);
        compress = rest.find(kCompress);
    }
    return bits;
}

}  // namespace pw
