#include "app/SelectUiLanguage.h"

#include <clocale>

namespace pw {

std::vector<std::string> UiLocaleNames(uint16_t primaryLanguage, uint16_t subLanguage) {
    if (primaryLanguage == LANG_ENGLISH && subLanguage == SUBLANG_ENGLISH_US)
        // The messages of the "C" locale are the untranslated ones, which
        // are American English; systems without en_US get those.
        return {"en_US.UTF-8", "en_US.utf8", "en_US", "C.UTF-8", "C"};
    return {};
}

void SelectUiLanguage(uint16_t primaryLanguage, uint16_t subLanguage) {
    for (const std::string& name : UiLocaleNames(primaryLanguage, subLanguage))
        if (std::setlocale(LC_MESSAGES, name.c_str()))
            return;
}

}  // namespace pw
