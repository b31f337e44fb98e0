#include "core/settings/language.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// Restores English whatever a test switched to.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageOffset(kLanguageEnglish); }
};

TEST_F(LanguageTest, TableHoldsBothLanguagesTwinByTwin) {
    int english = 0;
    int french = 0;
    for (int id : StringIds()) {
        if (id == kVersionStringId)
            continue;
        ASSERT_LT(id, 2000) << id;
        if (id < 1000) {
            ++english;
            const QString en = RawString(id);
            const QString fr = RawString(id + 1000);
            ASSERT_FALSE(fr.isEmpty()) << "no French twin for " << id;
            EXPECT_EQ(en.count(QStringLiteral("%%")), fr.count(QStringLiteral("%%"))) << id;
        } else {
            ++french;
            EXPECT_FALSE(RawString(id - 1000).isEmpty()) << "no English twin for " << id;
        }
    }
    EXPECT_EQ(english, 170);
    EXPECT_EQ(french, 170);
    EXPECT_EQ(RawString(kVersionStringId), QStringLiteral("0.9.9.0"));
}

TEST_F(LanguageTest, TextsKeepAccentsAccessKeysAndBlanks) {
    EXPECT_EQ(fStrEx(0, kLanguageFrench), QStringLiteral("&Tracé"));
    EXPECT_EQ(fStrEx(85, kLanguageFrench), QStringLiteral("Éch. :"));
    EXPECT_EQ(fStrEx(66, kLanguageFrench), QStringLiteral("¨ ! ]"));
    EXPECT_EQ(fStr(61), QStringLiteral("Stop every            scripts"));
    EXPECT_EQ(fStr(69), QStringLiteral("\\"));
    EXPECT_EQ(fStr(17), QStringLiteral("Lo&ad..."));
}

TEST_F(LanguageTest, PlaceholdersFillInOrderAndLinesBreak) {
    EXPECT_EQ(fStr(550, QStringLiteral("defrag"), QStringLiteral("Quake3.exe")),
              QStringLiteral("Specify the folder of the MOD defrag (not that of the game!).\r\n"
                             "The parent folder must obviously contain the file Quake3.exe."));
    // Numbers convert to text.
    EXPECT_EQ(fStr(291, 12), QStringLiteral("Script creation in 12 sec."));
    // A missing argument leaves its placeholder; an extra one changes nothing.
    EXPECT_EQ(fStr(419, QStringLiteral("etpro")),
              QStringLiteral("Allows to specify the root folder of the MOD 'etpro'. Its parent "
                             "folder must contain the '%%' file."));
    EXPECT_EQ(fStr(210, QStringLiteral("a"), QStringLiteral("b")),
              QStringLiteral("a demo not found."));
}

TEST_F(LanguageTest, ArgumentsAreFilledIntoTheGrowingText) {
    // An argument holding "%%" offers its own placeholder to the next argument.
    EXPECT_EQ(fStr(530, QStringLiteral("<%%>"), QStringLiteral("x"), QStringLiteral("y")),
              QStringLiteral("The max. number of points is <x>.\r\nYou must have y point(s) to be "
                             "able to convert them."));
    // An argument holding "<nl>" becomes a line break too.
    EXPECT_EQ(fStr(210, QStringLiteral("a<nl>b")), QStringLiteral("a\r\nb demo not found."));
}

TEST_F(LanguageTest, CurrentLanguageAndMissingIds) {
    EXPECT_EQ(fStrEx(110, kLanguageFrench),
              QStringLiteral("Veux-tu enregistrer la courbe existante ?"));
    SetLanguageOffset(kLanguageFrench);
    EXPECT_EQ(LanguageOffset(), kLanguageFrench);
    EXPECT_EQ(fStr(1), QStringLiteral("&Ouvrir..."));
    EXPECT_EQ(fStr(210, QStringLiteral("x")), QStringLiteral("La démo x est introuvable."));
    SetLanguageOffset(kLanguageEnglish);
    EXPECT_EQ(fStr(1), QStringLiteral("&Open..."));

    EXPECT_TRUE(fStr(999).isEmpty());
    EXPECT_TRUE(fStr(44, QStringLiteral("arg")).isEmpty());
    EXPECT_TRUE(fStrEx(999, kLanguageFrench).isEmpty());
}

} // namespace
} // namespace kestrova::test
