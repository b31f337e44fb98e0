#include "ui/main_window/menu_theme.h"

#include "core/settings/settings.h"

#include <QMenuBar>

namespace kestrova::ui {

QString MenuThemeStyleSheet(int theme) {
    switch (theme) {
    case kMenuThemeGradient:
        // A shaded bar and menus that fade from white into steel blue.
        return QStringLiteral(
            "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdff, "
            "stop:1 #c9d3e6); }"
            "QMenuBar::item { background: transparent; padding: 3px 8px; }"
            "QMenuBar::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
            "stop:0 #ffe9a8, stop:1 #f5c04a); border-radius: 3px; }"
            "QMenu { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #d8e0f0, "
            "stop:0.12 #f4f6fb, stop:1 #ffffff); border: 1px solid #7d8fb3; }"
            "QMenu::item { padding: 4px 24px 4px 28px; background: transparent; }"
            "QMenu::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
            "stop:0 #ffe9a8, stop:1 #f5c04a); color: black; }"
            "QMenu::item:disabled { color: #8a8f99; }"
            "QMenu::separator { height: 1px; background: #9aa8c4; margin: 3px 6px 3px 28px; }");
    case kMenuThemeOfficeXp:
        // Flat: a grey icon column, a blue framed highlight, no shading.
        return QStringLiteral(
            "QMenuBar { background: #ece9d8; }"
            "QMenuBar::item { background: transparent; padding: 3px 8px; }"
            "QMenuBar::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }"
            "QMenu { background: #fcfcf9; border: 1px solid #8a867a; }"
            "QMenu::item { padding: 4px 24px 4px 30px; border: 1px solid transparent; "
            "background: transparent; }"
            "QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; "
            "color: black; }"
            "QMenu::item:disabled { color: #a7a6aa; }"
            "QMenu::indicator { left: 6px; }"
            "QMenu::separator { height: 1px; background: #c5c2b8; margin: 2px 0 2px 30px; }");
    default:
        return QString();
    }
}

void ApplyMenuTheme(QMenuBar* bar, int theme) {
    // The menus are children of the bar: its style sheet reaches them all.
    bar->setStyleSheet(MenuThemeStyleSheet(theme));
}

} // namespace kestrova::ui
