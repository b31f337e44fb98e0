#include "core/settings/settings.h"

#include "core/game/game_state.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"

#include <QDir>
#include <QLocale>

namespace kestrova::test {
namespace {

const QString& kRoot = kApplicationKey;

void PutDword(const char* name, int value) {
    ASSERT_TRUE(RegWriteValue(kRoot, name, RegType::Dword, value));
}

// 1280 x 1024 pixels at 15 twips a pixel.
constexpr ScreenTwips kScreen{19200, 15360};

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageOffset(kLanguageEnglish); }

    TempRegistry reg;
    Settings settings;
    GameState state;
};

TEST_F(SettingsTest, EmptyStoreStartsInEnglishWithTheFirstGameAndDefaultRates) {
    SetLanguageOffset(kLanguageFrench);
    settings.languageIndex = 1;
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 0);
    EXPECT_EQ(LanguageOffset(), kLanguageEnglish);
    SwitchToStartupGame(state, state.currentGame);
    EXPECT_EQ(state.currentGame, 0);
    for (const ScriptList* list : {&state.cmdsBefore, &state.cmdsAfter, &state.gameConfigs})
        EXPECT_EQ(list->Items(), QStringList{"<none>"});
    EXPECT_EQ(RegReadValue(Profile(0).registryKey, "AviDemos").String(), "25;30;50;60;75;90;100");
    EXPECT_TRUE(RegReadValue(Profile(1).registryKey, "AviDemos").IsEmpty());
    EXPECT_EQ(state.aviDemos.EditText(), "50");
}

TEST_F(SettingsTest, LanguageAndGameOutsideTheirRangesAreIgnored) {
    PutDword("Language", 7);
    PutDword("DefaultMod", 2);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 0);
    EXPECT_EQ(state.currentGame, 0);
    PutDword("Language", 1);
    PutDword("DefaultMod", 1);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 1);
    EXPECT_EQ(fStr(3), "&Nouveau");
    EXPECT_EQ(state.currentGame, 1);

    // A language that does not convert is English again.
    ASSERT_TRUE(RegWriteValue(kRoot, "Language", RegType::Sz, "fr"));
    PutDword("DefaultMod", -1);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 0);
    EXPECT_EQ(state.currentGame, 1);
}

TEST_F(SettingsTest, FlagsCheckFromOneUpAndStayWhenAbsentThemeFallsToOfficeXp) {
    PutDword("ShowGrid", 5);
    PutDword("ShowArrows", 0);
    PutDword("MenuTheme", 9); // neither Standard nor Gradient
    settings.showGrid = false;
    settings.showRuler = true; // absent: kept
    LoadSettings(settings, state, kScreen);
    EXPECT_TRUE(settings.showGrid);
    EXPECT_FALSE(settings.showArrows);
    EXPECT_TRUE(settings.showRuler);
    EXPECT_EQ(settings.menuTheme, kMenuThemeOfficeXp);
}

TEST_F(SettingsTest, DemoBrowserSizeMustFitTheScreen) {
    // Half the screen's width and its whole height are too much; the name with the capital D
    // is not the height's, but value names match whatever their case.
    const std::tuple<const char*, int, int, int, int> cases[] = {
        {"FrmdemosHeight", kScreen.width / 2, kScreen.height, 4000, 3000},
        {"FrmdemosHeight", kScreen.width / 2 - 1, kScreen.height - 1, kScreen.width / 2 - 1,
         kScreen.height - 1},
        {"FrmDemosHeight", 0, 100, 4000, 100},
    };
    for (const auto& [heightName, width, height, keptWidth, keptHeight] : cases) {
        TempRegistry fresh;
        settings.demosWidthTwips = 4000;
        settings.demosHeightTwips = 3000;
        PutDword("FrmDemosWidth", width);
        PutDword(heightName, height);
        LoadSettings(settings, state, kScreen);
        EXPECT_EQ(std::pair(settings.demosWidthTwips, settings.demosHeightTwips),
                  std::pair(keptWidth, keptHeight))
            << width << " x " << height;
    }
}

TEST_F(SettingsTest, SaveWritesEveryValueWithItsTypeAndLoadRestoresIt) {
    SwitchToStartupGame(state, 1);
    settings.dftPathExtract = "/home/me/max";
    settings.languageIndex = 1;
    settings.menuTheme = 5;
    settings.demosWidthTwips = 6000;
    settings.demosHeightTwips = 4500;
    settings.snap2MapCtlPnt = true;
    settings.showGrid = false;
    state.configs[0].ModPath = "/games/et/etpro";
    state.configs[1].DftPathBsp = "/maps";
    state.configs[1].HomePath = "/home/me/.q3a";
    state.configs[0].WindowTitle = "My ET";
    state.gameConfigs.Add("defrag\\start.cfg");
    SaveSettings(settings, state);

    const QStringList expected = {
        "DftPathExtract", "Language",       "MenuTheme",      "DefaultMod",
        "FrmDemosWidth",  "FrmdemosHeight", "Snap2MapCtlPnt", "Snap2MapRefPnt",
        "ShowArrows",     "ShowTangent",    "ShowGrid",       "AntiAliasing",
        "ShowRefPnts",    "ShowTimes",      "ShowRuler",      "ShowClearance"};
    const RegValueNames listed = RegListValueNames(kRoot);
    ASSERT_EQ(listed.names, expected);
    for (int i = 0; i < listed.names.size(); ++i)
        EXPECT_EQ(listed.types[i], i == 0 ? 1 : 4) << listed.names[i].toStdString();
    EXPECT_EQ(RegReadValue(kRoot, "MenuTheme").Dword(), 2); // out of range: Office XP
    EXPECT_EQ(RegReadValue(Profile(1).registryKey, "Config1").String(), "defrag\\start.cfg");

    Settings loaded;
    GameState other;
    LoadSettings(loaded, other, kScreen);
    EXPECT_EQ(loaded.dftPathExtract, settings.dftPathExtract);
    EXPECT_EQ(std::tuple(loaded.languageIndex, loaded.demosHeightTwips, other.currentGame),
              std::tuple(1, 4500, 1));
    EXPECT_TRUE(loaded.snap2MapCtlPnt && !loaded.showGrid);
    EXPECT_EQ(other.configs[0].ModPath, "/games/et/etpro");
    EXPECT_EQ(other.configs[1].DftPathBsp, "/maps");
    EXPECT_EQ(other.configs[1].HomePath, "/home/me/.q3a");
    EXPECT_EQ(other.configs[0].WindowTitle, "My ET");
}

TEST_F(SettingsTest, MapOffsetsAreLocaleTextWithTwoDecimals) {
    ScopedLocale comma("fr_FR");
    WriteMapOffset("q3dm17", {12.5, -1234.567, 0.0});
    const QString key = MapKey("q3dm17");
    EXPECT_EQ(key, kRoot + "\\Maps\\q3dm17");
    EXPECT_EQ(RegReadValue(key, "OffsetX").String(), "12,50");
    EXPECT_EQ(RegReadValue(key, "OffsetY").String(), "-1234,57");
    EXPECT_EQ(RegReadValue(key, "OffsetZ").String(), "0,00");

    std::array<double, 3> offset{1, 2, 3};
    EXPECT_TRUE(ReadMapOffset("q3dm17", offset));
    EXPECT_EQ(offset, (std::array<double, 3>{12.5, -1234.57, 0}));

    // An axis that is not a number keeps its value; an unknown map reads nothing.
    ASSERT_TRUE(RegWriteValue(key, "OffsetY", RegType::Sz, "n/a"));
    offset = {7, 8, 9};
    EXPECT_TRUE(ReadMapOffset("q3dm17", offset));
    EXPECT_EQ(offset, (std::array<double, 3>{12.5, 8, 0}));
    EXPECT_FALSE(ReadMapOffset("other", offset));
    EXPECT_FALSE(ReadMapOffset(QString(), offset));
}

TEST_F(SettingsTest, CorruptStoreStartsWithDefaultsAndSaysSoOnce) {
    reg.WriteFile(QByteArray("{ not json"));
    ScriptedDialogs dialogs;
    settings.showGrid = true;
    LoadSettings(settings, state, kScreen, &dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, " Kestrova 3D");
    EXPECT_TRUE(settings.showGrid);
    EXPECT_EQ(settings.languageIndex, 0);

    SwitchToStartupGame(state, state.currentGame);
    SaveSettings(settings, state);
    LoadSettings(settings, state, kScreen, &dialogs);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(QDir(reg.dir()).entryList({"registry.json.bad-*"}).size(), 1);
}

} // namespace
} // namespace kestrova::test
