#include "core/numbers.h"

#include "core/settings/language.h"

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

TEST(Language, PlaceholdersFillInOrderAndLinesBreak) {
    SetLanguageOffset(kLanguageEnglish);
    EXPECT_EQ(fStrEx(110, kLanguageFrench),
              QStringLiteral("Veux-tu enregistrer la courbe existante ?"));
    EXPECT_TRUE(fStr(999).isEmpty());
    const QString s = fStr(550, QStringLiteral("defrag"), QStringLiteral("Quake3.exe"));
    EXPECT_TRUE(s.startsWith(QStringLiteral("Specify the folder of the MOD defrag (not")));
    EXPECT_TRUE(s.contains(QStringLiteral("!).\r\nThe parent")));
    EXPECT_TRUE(s.endsWith(QStringLiteral("the file Quake3.exe.")));
    // An argument holding a placeholder feeds the next argument into it.
    EXPECT_TRUE(fStr(550, QStringLiteral("%%"), QStringLiteral("x"))
                    .startsWith(QStringLiteral("Specify the folder of the MOD x (not")));
    EXPECT_EQ(fStr(kVersionStringId), QStringLiteral("0.9.9.0"));
}

TEST(Language, EveryEnglishTextHasAFrenchTwinWithAsManyPlaceholders) {
    int english = 0;
    for (int id : StringIds()) {
        if (id >= 1000)
            continue;
        ++english;
        const QString fr = RawString(id + 1000);
        ASSERT_FALSE(fr.isEmpty()) << id;
        EXPECT_EQ(RawString(id).count(QStringLiteral("%%")), fr.count(QStringLiteral("%%"))) << id;
    }
    EXPECT_EQ(english, 170);
}

} // namespace
} // namespace kestrova
