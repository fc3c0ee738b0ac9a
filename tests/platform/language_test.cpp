#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Language, ThePrimarySubtagOfALocaleName)
{
    EXPECT_EQ(platform::PrimaryLanguage("en_US.UTF-8"), "en");
    EXPECT_EQ(platform::PrimaryLanguage("de_DE@euro"), "de");
    EXPECT_EQ(platform::PrimaryLanguage("pt-BR"), "pt");
    EXPECT_EQ(platform::PrimaryLanguage("FR"), "fr");
    EXPECT_EQ(platform::PrimaryLanguage("fil_PH"), "fil");
    // Nothing usable, or something that does not belong in an attribute: English.
    for (const char* unusable :
         {"", "C", "C.UTF-8", "POSIX", "x", "abcdefghi", "e\"n", "1234", "\xC3\xA9n", "en us"})
        EXPECT_EQ(platform::PrimaryLanguage(unusable), "en") << unusable;
}

#ifndef _WIN32
TEST(Language, TheUsersLanguageFromTheEnvironment)
{
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* value = std::getenv(names[i]);
        had[i] = value != nullptr;
        if (value) saved[i] = value;
        unsetenv(names[i]);
    }
    EXPECT_EQ(platform::UserLanguage(), "en");
    setenv("LANG", "cs_CZ.UTF-8", 1);
    EXPECT_EQ(platform::UserLanguage(), "cs");
    setenv("LC_MESSAGES", "sk_SK", 1);
    EXPECT_EQ(platform::UserLanguage(), "sk");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::UserLanguage(), "en");
    for (int i = 0; i < 3; ++i) {
        if (had[i]) {
            setenv(names[i], saved[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}
#else
TEST(Language, TheUsersLanguageIsATag)
{
    std::string language = platform::UserLanguage();
    EXPECT_GE(language.size(), 2u);
    EXPECT_EQ(language.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
}
#endif
