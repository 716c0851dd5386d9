// The identity texts and the message language, without a display.

#include "app/SelectUiLanguage.h"
#include "platform/ProductIdentity.h"

#include <gtest/gtest.h>

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace pw {
namespace {

TEST(ProductIdentity, NamesTheProgram) {
    const ProductIdentity& id = GetProductIdentity();
    EXPECT_STREQ(id.displayName, "Pagewright");
    EXPECT_STRNE(id.shortName, "");
    // The rights notice is a printf format that takes the year and nothing else.
    const std::string format = id.rightsNoticeFormat;
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i)
        if (format[i] == '%') {
            ASSERT_LT(i + 1, format.size());
            if (format[i + 1] == '%') {
                ++i;
                continue;
            }
            EXPECT_EQ(format[i + 1], 'd') << format;
            ++conversions;
        }
    EXPECT_EQ(conversions, 1) << format;
    for (const char* address : {id.homePage, id.webPage})
        EXPECT_EQ(std::string(address).rfind("https://", 0), 0u) << address;
    EXPECT_NE(std::strchr(id.supportEmail, '@'), nullptr);
    EXPECT_EQ(std::strchr(id.copyrightNotice, '\n'), nullptr);
    EXPECT_NE(std::strstr(id.copyrightNotice, id.homePage), nullptr);
}

TEST(SelectUiLanguage, MakesAmericanEnglishTheMessageLanguage) {
    const std::vector<std::string> names = UiLocaleNames(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "en_US.UTF-8");
    EXPECT_TRUE(UiLocaleNames(0x07, 0x01).empty());

    const std::string previous = std::setlocale(LC_MESSAGES, nullptr);
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_MESSAGES, "POSIX");
    SelectUiLanguage(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const std::string chosen = std::setlocale(LC_MESSAGES, nullptr);
    std::setlocale(LC_MESSAGES, previous.c_str());
    // The first name the system knows; "C" at the latest.
    std::string expected;
    for (const std::string& name : names) {
        const std::string before = std::setlocale(LC_MESSAGES, nullptr);
        const char* set = std::setlocale(LC_MESSAGES, name.c_str());
        if (set) {
            expected = set;
            std::setlocale(LC_MESSAGES, before.c_str());
            break;
        }
    }
    EXPECT_EQ(chosen, expected);
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric);  // only messages change

    // An unknown language changes nothing.
    const std::string posix = std::setlocale(LC_MESSAGES, "POSIX");
    SelectUiLanguage(0x07, 0x01);
    EXPECT_EQ(std::setlocale(LC_MESSAGES, nullptr), posix);
    std::setlocale(LC_MESSAGES, previous.c_str());
}

// A LANGUAGE list in the environment does not bring another language back:
// GTK's dialogs keep their English texts.
TEST(SelectUiLanguage, OutranksTheEnvironmentsLanguageList) {
    const std::string previous = std::setlocale(LC_MESSAGES, nullptr);
    const char* language = std::getenv("LANGUAGE");
    const std::string kept = language ? language : "";
    ::setenv("LANGUAGE", "de", 1);
    std::setlocale(LC_MESSAGES, "C.UTF-8");
    // Another text than the one looked at below: the C library keeps what
    // it has looked up once.
    const std::string german = dgettext("gtk30", "_Open");
    SelectUiLanguage(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const std::string chosen = dgettext("gtk30", "_Cancel");
    std::setlocale(LC_MESSAGES, previous.c_str());
    if (language)
        ::setenv("LANGUAGE", kept.c_str(), 1);
    else
        ::unsetenv("LANGUAGE");
    if (german == "_Open")
        GTEST_SKIP() << "GTK's German texts are not installed";
    EXPECT_EQ(chosen, "_Cancel");
}

}  // namespace
}  // namespace pw
