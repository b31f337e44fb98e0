#pragma once
// The window system through which the editor reaches the running game: X11 where the editor
// runs on an X11 display (XWayland included), otherwise one that can only start the game.

#include "core/game/game_window.h"

#include <memory>

namespace kestrova::ui {

// The clipboard and the wait are the editor's own (Qt); the rest is the platform's.
class DesktopGameWindows : public GameWindowSystem {
public:
    bool SetClipboardText(const QString& text) override;
    // Keeps the editor's events flowing, so the game can read the clipboard meanwhile.
    void Wait(int milliseconds) override;
};

std::unique_ptr<GameWindowSystem> MakeGameWindowSystem();

} // namespace kestrova::ui
