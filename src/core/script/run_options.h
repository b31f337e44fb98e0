#pragma once
// How a camera script is to be run in the game; belongs to the trace and is saved with it.

#include <QString>

namespace kestrova {

struct ScriptRunOptions {
    int cameraMode = 0; // index in the game's camera-mode list; above 0 follows a player
    int player = 0;     // 0..63
    bool includeFov = true;
    bool includeTs = true;
    bool includeMsg = false;
    bool pauseEnabled = false;
    QString pauseEveryText = QStringLiteral("1"); // after how many chained files to pause
    int bindKeyIndex = 0;                         // index in the resume-key list
    bool autoStartEnabled = false;
    QString autoStartMsText = QStringLiteral("0");
    QString commandsBefore; // chosen entry of the before list; empty for none
    QString commandsAfter;
    QString scriptBaseName; // the last script's name, proposed by the next save dialog
};

} // namespace kestrova
