#include "core/numbers.h"

#include "support/scoped_locale.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(Numbers, RoundingIsHalfToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(1e12), INT32_MAX);
    EXPECT_DOUBLE_EQ(RoundTo2(0.125), 0.12);
    EXPECT_DOUBLE_EQ(RoundTo2(0.375), 0.38);
}

TEST(Numbers, ScriptNumbersIgnoreTheLocaleAndNeverShowMinusZero) {
    test::ScopedLocale french(test::ScopedLocale::French());
    // Formatting rounds halves away from zero, unlike the storage rounding.
    for (const auto& [v, text] : {std::pair{-1234.5, "-1234.50"},
                                  {-0.004, "0.00"},
                                  {-0.0, "0.00"},
                                  {0.125, "0.13"},
                                  {-0.125, "-0.13"}})
        EXPECT_EQ(FormatScriptNumber(v), text) << v;
    EXPECT_EQ(FormatLocaleFixed(-0.001, 2), "0,00");
    EXPECT_EQ(FormatLocaleFixed(12345.5, 2), "12345,50");
    bool ok = false;
    EXPECT_DOUBLE_EQ(ParseLocaleNumber("12,5", &ok), 12.5);
    EXPECT_TRUE(ok);
}

TEST(Numbers, LeadingNumberStopsAtTheFirstForeignCharacter) {
    for (const auto& [text, v] : {std::pair{"  12.5abc", 12.5},
                                  {"-3.25;x", -3.25},
                                  {"1e3x", 1000.0},
                                  {"7e", 7.0},
                                  {"12,5", 12.0},
                                  {"abc", 0.0},
                                  {"-", 0.0}})
        EXPECT_DOUBLE_EQ(LeadingNumber(text), v) << text;
}

} // namespace
} // namespace kestrova
