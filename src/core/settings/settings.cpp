#include "core/settings/settings.h"

#include "core/dialogs.h"
#include "core/game/game_state.h"
#include "core/numbers.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"

namespace kestrova {

namespace {

const QString& Root() {
    return kApplicationKey;
}

// Present values only; an absent one leaves the target alone.
void ReadString(const QString& key, const QString& name, QString& target) {
    const RegValue v = RegReadValue(key, name);
    if (!v.IsEmpty())
        target = v.Text();
}

void ReadFlag(const QString& name, bool& target) {
    const RegValue v = RegReadValue(Root(), name);
    if (!v.IsEmpty())
        target = RegValueToFlag(v);
}

void WriteDword(const QString& name, int value) {
    RegWriteValue(Root(), name, RegType::Dword, value);
}

} // namespace

int LanguageOffsetForIndex(int index) {
    return index == 1 ? kLanguageFrench : kLanguageEnglish;
}

int StoredLanguageIndex() {
    // English unless a valid index says otherwise.
    int language = 0;
    if (const RegValue v = RegReadValue(Root(), QStringLiteral("Language")); !v.IsEmpty())
        language = RegValueToInt16(v).value_or(0);
    return language < 0 || language >= kLanguageCount ? 0 : language;
}

void LoadSettings(Settings& s, GameState& state, ScreenTwips screen, Dialogs* dialogs) {
    // Without a way to tell the user, the notice waits for someone who can.
    if (const std::optional<QString> notice = dialogs ? TakeRegistryNotice() : std::nullopt)
        dialogs->Message(QStringLiteral(" Kestrova 3D"), *notice, MessageIcon::Warning,
                         MessageButtons::Ok);

    for (int game = 0; game < kGameCount; ++game) {
        const QString key = Profile(game).registryKey;
        GameConfig& c = state.configs[game];
        ReadString(key, QStringLiteral("ModPath"), c.ModPath);
        ReadString(key, QStringLiteral("DftPathTraces"), c.DftPathTraces);
        ReadString(key, QStringLiteral("DftPathCfg"), c.DftPathCfg);
        ReadString(key, QStringLiteral("DftPathPos"), c.DftPathPos);
        ReadString(key, QStringLiteral("DftPathBsp"), c.DftPathBsp);
        ReadString(key, QStringLiteral("HomePath"), c.HomePath);
        ReadString(key, QStringLiteral("WindowTitle"), c.WindowTitle);
    }

    ReadString(Root(), QStringLiteral("DftPathExtract"), s.dftPathExtract);

    const int language = StoredLanguageIndex();
    s.languageIndex = language;
    SetLanguageOffset(LanguageOffsetForIndex(language));

    if (const RegValue v = RegReadValue(Root(), QStringLiteral("MenuTheme")); !v.IsEmpty()) {
        const int theme = RegValueToInt16(v).value_or(0);
        s.menuTheme = (theme == kMenuThemeStandard || theme == kMenuThemeGradient)
                          ? theme
                          : kMenuThemeOfficeXp;
    }

    if (const RegValue v = RegReadValue(Root(), QStringLiteral("DefaultMod")); !v.IsEmpty()) {
        const int game = RegValueToInt16(v).value_or(0);
        if (game == kGameEtPro || game == kGameDefrag)
            state.currentGame = game;
    }

    // A stored size is kept only while the window fits the screen.
    if (const RegValue v = RegReadValue(Root(), QStringLiteral("FrmDemosWidth")); !v.IsEmpty()) {
        const int w = RegValueToInt16(v).value_or(0);
        if (w >= 1 && w * 2 < screen.width)
            s.demosWidthTwips = w;
    }
    if (const RegValue v = RegReadValue(Root(), QStringLiteral("FrmdemosHeight")); !v.IsEmpty()) {
        const int h = RegValueToInt16(v).value_or(0);
        if (h >= 1 && h < screen.height)
            s.demosHeightTwips = h;
    }

    ReadFlag(QStringLiteral("Snap2MapCtlPnt"), s.snap2MapCtlPnt);
    ReadFlag(QStringLiteral("Snap2MapRefPnt"), s.snap2MapRefPnt);
    ReadFlag(QStringLiteral("ShowArrows"), s.showArrows);
    ReadFlag(QStringLiteral("ShowTangent"), s.showTangent);
    ReadFlag(QStringLiteral("ShowGrid"), s.showGrid);
    ReadFlag(QStringLiteral("AntiAliasing"), s.antiAliasing);
    ReadFlag(QStringLiteral("ShowRefPnts"), s.showRefPnts);
    ReadFlag(QStringLiteral("ShowTimes"), s.showTimes);
    ReadFlag(QStringLiteral("ShowRuler"), s.showRuler);
    ReadFlag(QStringLiteral("ShowClearance"), s.showClearance);
}

void SaveSettings(const Settings& s, GameState& state) {
    RegistryBatch batch;
    RegWriteValue(Root(), QStringLiteral("DftPathExtract"), RegType::Sz, s.dftPathExtract);
    WriteDword(QStringLiteral("Language"),
               (s.languageIndex >= 0 && s.languageIndex < kLanguageCount) ? s.languageIndex : 0);
    WriteDword(QStringLiteral("MenuTheme"),
               (s.menuTheme == kMenuThemeStandard || s.menuTheme == kMenuThemeGradient)
                   ? s.menuTheme
                   : kMenuThemeOfficeXp);
    WriteDword(QStringLiteral("DefaultMod"), state.Game());
    WriteDword(QStringLiteral("FrmDemosWidth"), s.demosWidthTwips);
    WriteDword(QStringLiteral("FrmdemosHeight"), s.demosHeightTwips);
    WriteDword(QStringLiteral("Snap2MapCtlPnt"), s.snap2MapCtlPnt ? 1 : 0);
    WriteDword(QStringLiteral("Snap2MapRefPnt"), s.snap2MapRefPnt ? 1 : 0);
    WriteDword(QStringLiteral("ShowArrows"), s.showArrows ? 1 : 0);
    WriteDword(QStringLiteral("ShowTangent"), s.showTangent ? 1 : 0);
    WriteDword(QStringLiteral("ShowGrid"), s.showGrid ? 1 : 0);
    WriteDword(QStringLiteral("AntiAliasing"), s.antiAliasing ? 1 : 0);
    WriteDword(QStringLiteral("ShowRefPnts"), s.showRefPnts ? 1 : 0);
    WriteDword(QStringLiteral("ShowTimes"), s.showTimes ? 1 : 0);
    WriteDword(QStringLiteral("ShowRuler"), s.showRuler ? 1 : 0);
    WriteDword(QStringLiteral("ShowClearance"), s.showClearance ? 1 : 0);
    SaveGameConfigs(state);
}

void StoreRememberedFolders(Settings& s, GameState& state,
                            const std::array<QString, 2>& traceFolders,
                            const QString& exportFolder) {
    RegistryBatch batch;
    for (int game = 0; game < kGameCount; ++game) {
        GameConfig& c = state.configs[game];
        if (c.DftPathTraces == traceFolders[game])
            continue;
        c.DftPathTraces = traceFolders[game];
        RegWriteValue(Profile(game).registryKey, QStringLiteral("DftPathTraces"), RegType::Sz,
                      c.DftPathTraces);
    }
    if (s.dftPathExtract != exportFolder) {
        s.dftPathExtract = exportFolder;
        RegWriteValue(Root(), QStringLiteral("DftPathExtract"), RegType::Sz, exportFolder);
    }
}

QString MapKey(const QString& mapName) {
    return Root() + QStringLiteral("\\Maps\\") + mapName;
}

bool ReadMapOffset(const QString& mapName, std::array<double, 3>& offset) {
    if (mapName.isEmpty())
        return false;
    static const char* const names[3] = {"OffsetX", "OffsetY", "OffsetZ"};
    bool any = false;
    for (int axis = 0; axis < 3; ++axis) {
        const RegValue v = RegReadValue(MapKey(mapName), QLatin1String(names[axis]));
        if (v.IsEmpty())
            continue;
        bool ok = false;
        const double d = ParseLocaleNumber(v.Text(), &ok);
        if (ok) {
            offset[axis] = d;
            any = true;
        }
    }
    return any;
}

void WriteMapOffset(const QString& mapName, const std::array<double, 3>& offset) {
    if (mapName.isEmpty())
        return;
    static const char* const names[3] = {"OffsetX", "OffsetY", "OffsetZ"};
    RegistryBatch batch;
    for (int axis = 0; axis < 3; ++axis)
        RegWriteValue(MapKey(mapName), QLatin1String(names[axis]), RegType::Sz,
                      FormatLocaleFixed(offset[axis], 2));
}

} // namespace kestrova
