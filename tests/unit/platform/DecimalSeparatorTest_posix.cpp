// Reading the user's decimal separator from the environment's locale on POSIX, without changing
// the locale the rest of the process formats numbers with.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "DecimalSeparator.h"
#include "TestDirectories_posix.h"

namespace {

std::string CurrentNumericLocale() {
    const char* name = std::setlocale(LC_NUMERIC, nullptr);
    return name != nullptr ? name : "(none)";
}

// Asked through setlocale rather than newlocale, which leaks its search path when LOCPATH points
// at privately built locales.
bool LocaleAvailable(const char* name) {
    const std::string previous = CurrentNumericLocale();
    const bool available = std::setlocale(LC_NUMERIC, name) != nullptr;
    std::setlocale(LC_NUMERIC, previous.c_str());
    return available;
}

}  // namespace

TEST(ReadUserDecimalSeparator, IsThePointInTheCLocaleAndForUnknownLocales) {
    struct Case {
        const char* All;
        const char* Numeric;
    };
    const Case cases[] = {
        {"C", nullptr},
        {"POSIX", nullptr},
        {nullptr, "C"},
        {nullptr, "C.UTF-8"},
        {"xx_NOWHERE.UTF-8", nullptr},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment all("LC_ALL", c.All);
        const ScopedEnvironment numeric("LC_NUMERIC", c.Numeric);
        const ScopedEnvironment language("LANG", nullptr);
        EXPECT_EQ(ReadUserDecimalSeparator(), '.')
            << "LC_ALL=" << (c.All ? c.All : "(unset)")
            << " LC_NUMERIC=" << (c.Numeric ? c.Numeric : "(unset)");
        EXPECT_EQ(ReadUserThousandsSeparator(), "") << "LC_ALL=" << (c.All ? c.All : "(unset)");
    }
}

TEST(ReadUserDecimalSeparator, IsTheCommaInAGermanLocale) {
    if (!LocaleAvailable("de_DE.UTF-8")) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (see locale -a)";
    }
    {
        const ScopedEnvironment all("LC_ALL", "de_DE.UTF-8");
        EXPECT_EQ(ReadUserDecimalSeparator(), ',') << "LC_ALL=de_DE.UTF-8";
        EXPECT_EQ(ReadUserThousandsSeparator(), ".") << "LC_ALL=de_DE.UTF-8";
    }
    const ScopedEnvironment all("LC_ALL", nullptr);
    const ScopedEnvironment numeric("LC_NUMERIC", "de_DE.UTF-8");
    const ScopedEnvironment language("LANG", "C");
    EXPECT_EQ(ReadUserDecimalSeparator(), ',') << "LC_NUMERIC=de_DE.UTF-8 LANG=C";
}

TEST(ReadUserDecimalSeparator, LeavesTheProcessLocaleAsItWas) {
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    for (const char* environment : {"C.UTF-8", "de_DE.UTF-8", "xx_NOWHERE.UTF-8"}) {
        const ScopedEnvironment all("LC_ALL", environment);
        ReadUserDecimalSeparator();
        EXPECT_EQ(CurrentNumericLocale(), "C") << "after reading with LC_ALL=" << environment;
        EXPECT_STREQ(std::localeconv()->decimal_point, ".")
            << "after reading with LC_ALL=" << environment;
    }
}
