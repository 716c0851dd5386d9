#include "app/SelectUiLanguage.h"

#include <clocale>

namespace pw {

void SelectUiLanguage(uint16_t primaryLanguage, uint16_t subLanguage) {
    for (const std::string& name : UiLocaleNames(primaryLanguage, subLanguage))
        if (std::setlocale(LC_MESSAGES, name.c_str()))
            return;
}

}  // namespace pw
