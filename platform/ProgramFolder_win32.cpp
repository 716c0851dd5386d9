#include "platform/ProgramFolder.h"

#include <windows.h>

#include "platform/WideText_win32.h"

namespace pw {

std::string SystemExecutablePath()
{
    // The path can exceed MAX_PATH; grow the buffer until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::string();
        if (n < buffer.size()) {
            buffer.resize(n);
            return Narrow(buffer);
        }
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace pw
