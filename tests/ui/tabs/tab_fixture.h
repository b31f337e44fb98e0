#pragma once
// A document, a game state and the program's dialogs answered by a script, as the editor holds
// them, for the tool tabs and their dialogs.

#include "core/files/document.h"
#include "core/files/trace_file.h"
#include "core/game/game_state.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/script/game_profile.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace kestrova::test {

struct TabFixture {
    explicit TabFixture(int startGame = kGameDefrag) { SwitchToStartupGame(game, startGame); }

    // Control points along x, appended the way the editor appends them.
    void AddControlPoints(int n) {
        for (int i = 0; i < n; ++i)
            AppendPointXYZ(doc.trace, kControl, 100.0 * (i + 1), -20.0 * i, 40.0, std::nullopt,
                           false);
        RebuildPath(doc.trace);
    }

    TempRegistry registry; // a fresh installation's settings
    ScriptedDialogs dialogs;
    KeptTraceExtras host;
    Document doc{host, dialogs};
    GameState game;
};

// Types into a box as the user would and presses a key at the end (Enter unless told).
inline void TypeInto(QWidget* box, const QString& text, Qt::Key end = Qt::Key_Return) {
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, end);
}

} // namespace kestrova::test
