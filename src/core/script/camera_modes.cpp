#include "core/script/camera_modes.h"

#include "core/script/game_profile.h"

namespace kestrova {

QStringList CameraModes(int game) {
    QStringList modes{QStringLiteral("Free"), QStringLiteral("LookPlayer")};
    if (game == kGameDefrag)
        modes << QStringLiteral("LookNoPitch") << QStringLiteral("LookNoYaw");
    return modes;
}

CameraModeTip CameraModeTipFor(int game, int mode) {
    if (game == kGameDefrag) {
        switch (mode) {
        case 1:
            return {QStringLiteral("Player-Tracking Cam"),
                    QStringLiteral("Camera view angles continuously track the player.")};
        case 2:
            return {QStringLiteral("Player-Tracking Cam, No Pitch"),
                    QStringLiteral("Camera view angles continuously track the player, except for "
                                   "pitch (up/down), which is\r\n"
                                   "transitioned from the first saved position to the keyed "
                                   "(next) saved position.\r\n"
                                   "A nice cam mode to use for strafing maps, as the camera does "
                                   "not bob up and down as\r\n"
                                   "the player jumps.")};
        case 3:
            return {QStringLiteral("Player-Tracking Cam, No Yaw"),
                    QStringLiteral("Camera view angles continuously track the player, except for "
                                   "yaw (left/right), which is\r\n"
                                   "transitioned from the first saved position to the keyed "
                                   "(next) saved position.")};
        default:
            return {QStringLiteral("Transition Cam"),
                    QStringLiteral("Camera view angles transition from the first saved position "
                                   "to the keyed (next) saved position.")};
        }
    }
    if (mode == 1)
        return {QStringLiteral("Look player:"),
                QStringLiteral("Camera view tracks the specified player.\r\n"
                               "The specified angles are ignored.")};
    return {QStringLiteral("Free look:"),
            QStringLiteral("Camera view uses the values specified in the datagrid.")};
}

QStringList PlayerItems() {
    QStringList items;
    items.reserve(kPlayerCount);
    for (int i = 0; i < kPlayerCount; ++i)
        items << QString::number(i);
    return items;
}

QStringList FillCameraModes(ScriptRunOptions& options, int game) {
    options.cameraMode = 0;
    return CameraModes(game);
}

} // namespace kestrova
