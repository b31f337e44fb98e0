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
    EXPECT_EQ(FormatScriptNumber(-1234.5), QStringLiteral("-1234.50"));
    EXPECT_EQ(FormatScriptNumber(-0.004), QStringLiteral("0.00"));
    EXPECT_EQ(FormatScriptNumber(-0.0), QStringLiteral("0.00"));
    // Formatting rounds halves away from zero, unlike the storage rounding.
    EXPECT_EQ(FormatScriptNumber(0.125), QStringLiteral("0.13"));
    EXPECT_EQ(FormatScriptNumber(-0.125), QStringLiteral("-0.13"));
    EXPECT_EQ(FormatScriptNumber(0.5), QStringLiteral("0.50"));
    EXPECT_EQ(FormatLocaleFixed(-0.001, 2), QStringLiteral("0,00"));
    EXPECT_EQ(FormatLocaleFixed(12345.5, 2), QStringLiteral("12345,50"));
    bool ok = false;
    EXPECT_DOUBLE_EQ(ParseLocaleNumber(QStringLiteral("12,5"), &ok), 12.5);
    EXPECT_TRUE(ok);
}

TEST(Numbers, LeadingNumberStopsAtTheFirstForeignCharacter) {
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("  12.5abc")), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("-3.25;x")), -3.25);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("1e3x")), 1000.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("7e")), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("12,5")), 12.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(QStringLiteral("-")), 0.0);
}

} // namespace
} // namespace kestrova
