#pragma once
// The global settings kept in the application key, loaded at start-up and saved at shutdown.
// The UI fills a Settings object with its current state, LoadSettings replaces what the store
// holds (a value that is absent or unusable leaves the field as it was), and the UI applies it.

#include <QString>
#include <array>

namespace kestrova {

class Dialogs;
class GameState;

constexpr int kLanguageCount = 2; // items of the language menu: English, French
constexpr int kMenuThemeStandard = 0;
constexpr int kMenuThemeGradient = 1;
constexpr int kMenuThemeOfficeXp = 2;

struct Settings {
    QString dftPathExtract; // folder of the last 3DS Max export
    int languageIndex = 0;  // 0 English, 1 French
    int menuTheme = kMenuThemeStandard;
    int demosWidthTwips = 0; // demo browser window size; 0: its designed size
    int demosHeightTwips = 0;

    // The check marks of the magnetize and display menus.
    bool snap2MapCtlPnt = false; // mnuMM_CtlPoints
    bool snap2MapRefPnt = false; // mnuMM_RefPoints
    bool showArrows = true;      // mnuV_ShowArrow
    bool showTangent = true;     // mnuV_ShowTangent
    bool showGrid = true;        // mnuV_ShowGrid
    bool antiAliasing = false;   // mnuV_AntiAliasing
    bool showRefPnts = true;     // mnuV_ShowRefPoints
    bool showTimes = true;       // mnuV_ShowTimes
    bool showRuler = true;       // mnuV_ShowRulers
    bool showClearance = true;   // mnuV_ShowClearance: path points in or near a wall of the map
};

// The screen, in twips, bounds the demo browser's stored size.
struct ScreenTwips {
    int width = 0;
    int height = 0;
};

// Reads the folder fields of both games, the global values, and the stored game index into
// state.currentGame (the game's lists are loaded by the start-up switch). Applies the language
// offset. A store file that could not be read is reported once through dialogs, if given.
void LoadSettings(Settings& settings, GameState& state, ScreenTwips screen,
                  Dialogs* dialogs = nullptr);
// Writes the global values, then the games' configurations.
void SaveSettings(const Settings& settings, GameState& state);

// The language index kept in the store (0 when absent or unusable), for captions that are
// needed before the rest of the settings.
int StoredLanguageIndex();

// The trace folders of both games and the export folder, into the settings and the store at
// once, so that neither a game switch nor a crash loses the folder of the last save or export.
void StoreRememberedFolders(Settings& settings, GameState& state,
                            const std::array<QString, 2>& traceFolders,
                            const QString& exportFolder);

// The language offset of a language menu index.
int LanguageOffsetForIndex(int index);

// Origin offset of a map, kept under the "Maps" subkey as locale text with two decimals. Reading
// replaces the axes whose value is present and a number; returns whether any was. Both do
// nothing for an empty map name.
bool ReadMapOffset(const QString& mapName, std::array<double, 3>& offset);
void WriteMapOffset(const QString& mapName, const std::array<double, 3>& offset);
QString MapKey(const QString& mapName);

} // namespace kestrova
