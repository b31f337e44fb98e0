#pragma once
// How the menus are painted: the menu-theme items of the Display menu.

#include <QString>

class QMenuBar;

namespace kestrova::ui {

// The style sheet of a theme (0 Standard: the platform's own look, 1 Gradient, 2 Office XP).
QString MenuThemeStyleSheet(int theme);
// Applies the theme to the menu bar and every menu it holds.
void ApplyMenuTheme(QMenuBar* bar, int theme);

} // namespace kestrova::ui
