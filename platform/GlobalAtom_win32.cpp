#include "platform/GlobalAtom_win32.h"

#include "platform/WideText_win32.h"

#include <windows.h>

namespace pw {

std::optional<std::string> ReadGlobalAtomName(unsigned short atom, std::size_t bufferBytes) {
    if (atom == 0 || bufferBytes == 0)
        return std::nullopt;
    // An atom's name holds at most 255 characters; this buffer holds every
    // name whole, so a full one cannot be mistaken for a cut one.
    wchar_t name[512] = {};
    const UINT length = ::GlobalGetAtomNameW(atom, name, static_cast<int>(std::size(name)));
    if (length == 0)
        return std::nullopt;
    std::string text = Narrow(std::wstring(name, length));
    if (text.size() + 1 > bufferBytes)
        return std::nullopt;
    return text;
}

}  // namespace pw
