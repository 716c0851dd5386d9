#include "app/SelectUiLanguage.h"

#include <clocale>
#include <cstdlib>

namespace pw {

// The texts of the system's libraries (GTK's dialogs among them) follow the
// environment's LANGUAGE list ahead of the message locale - unless that
// locale is "C" - so the list goes: the chosen language is the one shown,
// with an English locale and with "C.UTF-8" alike.
void SelectUiLanguage(uint16_t primaryLanguage, uint16_t subLanguage) {
    for (const std::string& name : UiLocaleNames(primaryLanguage, subLanguage))
        if (std::setlocale(LC_MESSAGES, name.c_str())) {
            ::unsetenv("LANGUAGE");
            return;
        }
}

}  // namespace pw
