#include "app/SelectUiLanguage.h"

namespace pw {

std::vector<std::string> UiLocaleNames(uint16_t primaryLanguage, uint16_t subLanguage) {
    if (primaryLanguage == LANG_ENGLISH && subLanguage == SUBLANG_ENGLISH_US)
        // The messages of the "C" locale are the untranslated ones, which
        // are American English; systems without en_US get those.
        return {"en_US.UTF-8", "en_US.utf8", "en_US", "C.UTF-8", "C"};
    return {};
}

}  // namespace pw
