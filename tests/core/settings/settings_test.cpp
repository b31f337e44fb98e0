#include "core/settings/settings.h"

#include "core/game/game_state.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"

#include <QDir>
#include <QLocale>

namespace kestrova::test {
namespace {

const QString& Root() {
    return kApplicationKey;
}

void PutDword(const char* name, int value) {
    ASSERT_TRUE(RegWriteValue(Root(), QString::fromLatin1(name), RegType::Dword, value));
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
    EXPECT_EQ(state.currentGame, 0);
    SwitchToStartupGame(state, state.currentGame);
    EXPECT_EQ(state.currentGame, 0);
    for (const ScriptList* list : {&state.cmdsBefore, &state.cmdsAfter, &state.gameConfigs})
        EXPECT_EQ(list->Items(), QStringList{QStringLiteral("<none>")});
    EXPECT_EQ(RegReadValue(Profile(0).registryKey, QStringLiteral("AviDemos")).String(),
              QStringLiteral("25;30;50;60;75;90;100"));
    EXPECT_TRUE(RegReadValue(Profile(1).registryKey, QStringLiteral("AviDemos")).IsEmpty());
    EXPECT_EQ(state.aviDemos.EditText(), QStringLiteral("50"));
}

TEST_F(SettingsTest, LanguageAndGameOutsideTheirRangesAreIgnored) {
    PutDword("Language", 7);
    PutDword("DefaultMod", 2);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 0);
    EXPECT_EQ(LanguageOffset(), kLanguageEnglish);
    EXPECT_EQ(state.currentGame, 0);

    PutDword("Language", 1);
    PutDword("DefaultMod", 1);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 1);
    EXPECT_EQ(fStr(3), QStringLiteral("&Nouveau"));
    EXPECT_EQ(state.currentGame, 1);

    // A language that does not convert is English again.
    ASSERT_TRUE(
        RegWriteValue(Root(), QStringLiteral("Language"), RegType::Sz, QStringLiteral("fr")));
    PutDword("DefaultMod", -1);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.languageIndex, 0);
    EXPECT_EQ(state.currentGame, 1);
}

TEST_F(SettingsTest, FlagsCheckFromOneUpAndStayWhenAbsentThemeFallsToOfficeXp) {
    PutDword("ShowGrid", 5);
    PutDword("ShowArrows", 0);
    PutDword("ShowTangent", -1);
    PutDword("Snap2MapRefPnt", 1);
    ASSERT_TRUE(
        RegWriteValue(Root(), QStringLiteral("ShowTimes"), RegType::Sz, QStringLiteral("word")));
    PutDword("MenuTheme", 9); // neither Standard nor Gradient
    settings.showGrid = false;
    settings.showRuler = true; // absent: kept
    settings.antiAliasing = false;
    LoadSettings(settings, state, kScreen);
    EXPECT_TRUE(settings.showGrid);
    EXPECT_FALSE(settings.showArrows);
    EXPECT_FALSE(settings.showTangent);
    EXPECT_TRUE(settings.snap2MapRefPnt);
    EXPECT_FALSE(settings.showTimes);
    EXPECT_TRUE(settings.showRuler);
    EXPECT_FALSE(settings.antiAliasing);
    EXPECT_EQ(settings.menuTheme, kMenuThemeOfficeXp);
}

TEST_F(SettingsTest, DemoBrowserSizeMustFitTheScreen) {
    settings.demosWidthTwips = 4000;
    settings.demosHeightTwips = 3000;
    PutDword("FrmDemosWidth", kScreen.width / 2);
    PutDword("FrmdemosHeight", kScreen.height);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.demosWidthTwips, 4000);
    EXPECT_EQ(settings.demosHeightTwips, 3000);

    PutDword("FrmDemosWidth", kScreen.width / 2 - 1);
    PutDword("FrmdemosHeight", kScreen.height - 1);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.demosWidthTwips, kScreen.width / 2 - 1);
    EXPECT_EQ(settings.demosHeightTwips, kScreen.height - 1);

    // The name with the capital D is not the height's.
    PutDword("FrmDemosWidth", 0);
    ASSERT_TRUE(RegDeleteValue(Root(), QStringLiteral("FrmdemosHeight")));
    PutDword("FrmDemosHeight", 100);
    LoadSettings(settings, state, kScreen);
    EXPECT_EQ(settings.demosWidthTwips, kScreen.width / 2 - 1);
    // Value names match whatever their case, as in the registry.
    EXPECT_EQ(settings.demosHeightTwips, 100);
}

TEST_F(SettingsTest, SaveWritesEveryValueWithItsTypeAndLoadRestoresIt) {
    SwitchToStartupGame(state, 1);
    settings.dftPathExtract = QStringLiteral("/home/me/max");
    settings.languageIndex = 1;
    settings.menuTheme = 5;
    settings.demosWidthTwips = 6000;
    settings.demosHeightTwips = 4500;
    settings.snap2MapCtlPnt = true;
    settings.showGrid = false;
    state.configs[0].ModPath = QStringLiteral("/games/et/etpro");
    state.configs[1].DftPathBsp = QStringLiteral("/maps");
    state.gameConfigs.Add(QStringLiteral("defrag\\start.cfg"));
    SaveSettings(settings, state);

    const QStringList expected = {
        "DftPathExtract", "Language",       "MenuTheme",      "DefaultMod",
        "FrmDemosWidth",  "FrmdemosHeight", "Snap2MapCtlPnt", "Snap2MapRefPnt",
        "ShowArrows",     "ShowTangent",    "ShowGrid",       "AntiAliasing",
        "ShowRefPnts",    "ShowTimes",      "ShowRuler",      "ShowClearance"};
    const RegValueNames listed = RegListValueNames(Root());
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, expected);
    for (int i = 0; i < listed.names.size(); ++i)
        EXPECT_EQ(listed.types[i], i == 0 ? 1 : 4) << listed.names[i].toStdString();
    EXPECT_EQ(RegReadValue(Root(), QStringLiteral("MenuTheme")).Dword(), 2);
    EXPECT_EQ(RegReadValue(Root(), QStringLiteral("DefaultMod")).Dword(), 1);
    EXPECT_EQ(RegReadValue(Profile(1).registryKey, QStringLiteral("Config1")).String(),
              QStringLiteral("defrag\\start.cfg"));

    Settings loaded;
    GameState other;
    LoadSettings(loaded, other, kScreen);
    EXPECT_EQ(loaded.dftPathExtract, settings.dftPathExtract);
    EXPECT_EQ(loaded.languageIndex, 1);
    EXPECT_EQ(loaded.menuTheme, kMenuThemeOfficeXp);
    EXPECT_EQ(loaded.demosWidthTwips, 6000);
    EXPECT_EQ(loaded.demosHeightTwips, 4500);
    EXPECT_TRUE(loaded.snap2MapCtlPnt);
    EXPECT_FALSE(loaded.showGrid);
    EXPECT_TRUE(loaded.showArrows);
    EXPECT_EQ(other.currentGame, 1);
    EXPECT_EQ(other.configs[0].ModPath, QStringLiteral("/games/et/etpro"));
    EXPECT_EQ(other.configs[1].DftPathBsp, QStringLiteral("/maps"));
    EXPECT_TRUE(other.configs[1].ModPath.isEmpty());
}

TEST_F(SettingsTest, MapOffsetsAreLocaleTextWithTwoDecimals) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    WriteMapOffset(QStringLiteral("q3dm17"), {12.5, -1234.567, 0.0});
    const QString key = MapKey(QStringLiteral("q3dm17"));
    EXPECT_EQ(key, Root() + QStringLiteral("\\Maps\\q3dm17"));
    EXPECT_EQ(RegReadValue(key, QStringLiteral("OffsetX")).String(), QStringLiteral("12,50"));
    EXPECT_EQ(RegReadValue(key, QStringLiteral("OffsetY")).String(), QStringLiteral("-1234,57"));
    EXPECT_EQ(RegReadValue(key, QStringLiteral("OffsetZ")).String(), QStringLiteral("0,00"));

    std::array<double, 3> offset{1, 2, 3};
    EXPECT_TRUE(ReadMapOffset(QStringLiteral("q3dm17"), offset));
    EXPECT_DOUBLE_EQ(offset[0], 12.5);
    EXPECT_DOUBLE_EQ(offset[1], -1234.57);
    EXPECT_DOUBLE_EQ(offset[2], 0.0);

    // An axis that is not a number keeps its value; an unknown map reads nothing.
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("OffsetY"), RegType::Sz, QStringLiteral("n/a")));
    offset = {7, 8, 9};
    EXPECT_TRUE(ReadMapOffset(QStringLiteral("q3dm17"), offset));
    EXPECT_EQ(offset, (std::array<double, 3>{12.5, 8, 0}));
    EXPECT_FALSE(ReadMapOffset(QStringLiteral("other"), offset));
    EXPECT_FALSE(ReadMapOffset(QString(), offset));
    QLocale::setDefault(previous);
}

TEST_F(SettingsTest, CorruptStoreStartsWithDefaultsAndSaysSoOnce) {
    reg.WriteFile(QByteArray("{ not json"));
    ScriptedDialogs dialogs;
    settings.showGrid = true;
    LoadSettings(settings, state, kScreen, &dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral(" Kestrova 3D"));
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(settings.showGrid);
    EXPECT_EQ(settings.languageIndex, 0);

    SwitchToStartupGame(state, state.currentGame);
    SaveSettings(settings, state);
    LoadSettings(settings, state, kScreen, &dialogs);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(QDir(reg.dir()).entryList({QStringLiteral("registry.json.bad-*")}).size(), 1);
}

} // namespace
} // namespace kestrova::test
