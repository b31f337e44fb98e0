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
    int english = 0, french = 0;
    for (int id : StringIds()) {
        if (id == kVersionStringId)
            continue;
        ASSERT_LT(id, 2000) << id;
        if (id < 1000) {
            ++english;
            const QString fr = RawString(id + 1000);
            ASSERT_FALSE(fr.isEmpty()) << "no French twin for " << id;
            EXPECT_EQ(RawString(id).count("%%"), fr.count("%%")) << id;
        } else {
            ++french;
            EXPECT_FALSE(RawString(id - 1000).isEmpty()) << "no English twin for " << id;
        }
    }
    EXPECT_EQ(english, french);
    EXPECT_GE(english, 168); // the program's own texts, every one of them loaded
    EXPECT_EQ(RawString(kVersionStringId), "0.9.9.0");
    // Accents, access keys and runs of blanks as written.
    EXPECT_EQ(fStrEx(85, kLanguageFrench), "Éch. :");
    EXPECT_EQ(fStrEx(66, kLanguageFrench), "¨ ! ]");
    EXPECT_EQ(fStr(61), "Stop every            scripts");
    EXPECT_EQ(fStr(69), "\\");
}

TEST_F(LanguageTest, LanguageNamesInTheirOwnLanguageAndTheKeyTopsAccent) {
    // Both menus name each language in that language, so that anyone finds theirs.
    for (const int offset : {kLanguageEnglish, kLanguageFrench}) {
        EXPECT_EQ(fStrEx(32, offset), "E&nglish") << offset;
        EXPECT_EQ(fStrEx(33, offset), "&Français") << offset;
    }
    // The Swiss French key top of the game's "-" key: apostrophe, "?" with Shift and the acute
    // accent U+00B4 with AltGr; the widget gets the accent itself, not a "?" for it.
    EXPECT_EQ(fStrEx(63, kLanguageFrench), QString::fromUtf16(u"' ? \u00B4"));
}

TEST_F(LanguageTest, CountsTakeTheSingularOfEachLanguage) {
    EXPECT_EQ(fStrCount(123, 124, 1), "1 point");
    EXPECT_EQ(fStrCount(123, 124, 0), "0 points");
    SetLanguageOffset(kLanguageFrench); // French says "0 point" too
    EXPECT_EQ(fStrCount(123, 124, 0), "0 point");
    EXPECT_EQ(fStrCount(123, 124, 2), "2 points");
    EXPECT_EQ(fStrCount(723, 722, 1, "/q3"), "1 carte dans /q3"); // the count comes first
}

TEST_F(LanguageTest, PlaceholdersFillInOrderIntoTheGrowingText) {
    EXPECT_EQ(fStr(550, "defrag", "Quake3.exe"),
              "Specify the folder of the MOD defrag (not that of the game!).\r\n"
              "The parent folder must obviously contain the file Quake3.exe.");
    EXPECT_EQ(fStr(291, 12), "Script creation in 12 sec."); // numbers convert to text
    // A missing argument leaves its placeholder; an extra one changes nothing.
    EXPECT_EQ(fStr(419, "etpro"), "Allows to specify the root folder of the MOD 'etpro'. Its "
                                  "parent folder must contain the '%%' file.");
    EXPECT_EQ(fStr(210, "a", "b"), "a demo not found.");
    // An argument holding "%%" offers its own placeholder to the next argument; "<nl>" breaks.
    EXPECT_EQ(fStr(530, "<%%>", "x", "y"), "The max. number of points is <x>.\r\nYou must have y "
                                           "point(s) to be able to convert them.");
    EXPECT_EQ(fStr(210, "a<nl>b"), "a\r\nb demo not found.");
}

TEST_F(LanguageTest, CurrentLanguageAndMissingIds) {
    EXPECT_EQ(fStrEx(110, kLanguageFrench), "Veux-tu enregistrer la courbe existante ?");
    SetLanguageOffset(kLanguageFrench);
    EXPECT_EQ(LanguageOffset(), kLanguageFrench);
    EXPECT_EQ(fStr(210, "x"), "La démo x est introuvable.");
    SetLanguageOffset(kLanguageEnglish);
    EXPECT_EQ(fStr(1), "&Open...");
    EXPECT_TRUE(fStr(999).isEmpty());
    EXPECT_TRUE(fStr(44, "arg").isEmpty());
    EXPECT_TRUE(fStrEx(999, kLanguageFrench).isEmpty());
}

} // namespace
} // namespace kestrova::test
