#pragma once
// What a trace file holds beyond the trace, applied to the editor's own state: the game, the
// views, the script lists, the frame rates, the map and the demo fields. The widgets that show
// these values hook in to follow a load (map loading, the notes window, refreshes).

#include "core/files/trace_file.h"
#include "core/game/game_state.h"
#include "core/view/view_state.h"

#include <functional>

namespace kestrova {

class EditorTraceHost : public TraceFileHost {
public:
    EditorTraceHost(GameState& games, ViewState& views) : games_(games), views_(views) {}

    void StoreExtras(TraceFileContents& c) override;
    void SwitchToTraceGame(int game) override;
    bool KnowsDemo(const QString& name) override;
    void ApplyExtras(const TraceFileContents& c) override;
    void ShowNotes() override;
    void ResetForNewTrace(bool unloadMap) override;
    int32_t DefaultFrameRate() override;

    // The map the trace names, relative to the game's map folder; empty without a map.
    QString mapName;
    QString demoName;
    int32_t demoMinutes = 0;
    int32_t demoSeconds = 0;
    int32_t demoForward = 0;
    // Whether the last trace read held its plan views and its 3D camera (a new trace counts as
    // holding them); the views fit themselves to a trace that did not.
    bool planViewsStored = true;
    bool cameraStored = true;

    // Switches to a trace's game; by default the game state alone.
    std::function<void(int game)> switchGame;
    // Loads (or, with an empty name, unloads) a trace's map; by default the name is only kept.
    std::function<void(const QString& name)> loadMap;
    // Whether the demo browser knows the demo; without one every name is kept.
    std::function<bool(const QString& name)> knowsDemo;
    std::function<void()> showNotes;
    // After a load or a reset, so the widgets show the new values.
    std::function<void()> changed;

private:
    GameState& games_;
    ViewState& views_;
};

// Drops the frame rates a trace brought (the temporary entries) and selects the default.
void ResetFrameRates(FrameRateList& rates);

} // namespace kestrova
