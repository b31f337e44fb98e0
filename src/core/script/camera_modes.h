#pragma once
// The demo camera modes of each game with their tips, and the followed player.

#include "core/model/trace.h"

#include <QString>
#include <QStringList>

namespace kestrova {

constexpr int kPlayerCount = 64;

struct CameraModeTip {
    QString title;
    QString text; // lines separated by CR LF
};

// "Free", "LookPlayer" for ET Pro; Defrag adds "LookNoPitch", "LookNoYaw".
QStringList CameraModes(int game);
CameraModeTip CameraModeTipFor(int game, int mode);
// Any mode but the free one follows a player.
inline bool IsLookPlayer(int mode) {
    return mode > 0;
}
// "0" to "63": a player's item text is its number.
QStringList PlayerItems();

// The game changed: the first mode is chosen; returns the items the list now shows.
QStringList FillCameraModes(ScriptRunOptions& options, int game);

} // namespace kestrova
