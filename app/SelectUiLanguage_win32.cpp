#include <windows.h>

#include "app/SelectUiLanguage.h"

namespace pw {

// Windows picks the language of the system's own texts (message boxes,
// common dialogs) per thread.
void SelectUiLanguage(uint16_t primaryLanguage, uint16_t subLanguage) {
    ::SetThreadUILanguage(MAKELANGID(primaryLanguage, subLanguage));
}

}  // namespace pw
