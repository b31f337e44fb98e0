#include "core/files/editor_host.h"

#include "core/view/navigation.h"

namespace kestrova {

void EditorTraceHost::StoreExtras(TraceFileContents& c) {
    c.game = games_.Game();
    c.activeView = views_.activeView;
    for (int i = 0; i < 3; ++i)
        c.plans[i] = views_.plans[i];
    c.camera = views_.camera;
    c.presetLines = ViewPresetLines(views_.presets);
    c.demoName = demoName;
    // The lists' texts, "<none>" included; reading takes that and an empty text alike.
    c.gameConfig = games_.gameConfigs.Text();
    c.script.commandsBefore = games_.cmdsBefore.Text();
    c.script.commandsAfter = games_.cmdsAfter.Text();
    c.mapName = mapName;
    c.demoMinutes = demoMinutes;
    c.demoSeconds = demoSeconds;
    c.demoForward = demoForward;
    c.aviDemos.clear();
    for (int i = 0; i < games_.aviDemos.Count(); ++i)
        c.aviDemos.append(games_.aviDemos.Value(i));
}

bool EditorTraceHost::KnowsDemo(const QString& name) {
    return knowsDemo ? knowsDemo(name) : true;
}

void EditorTraceHost::SwitchToTraceGame(int game) {
    if (game == games_.Game())
        return;
    if (switchGame)
        switchGame(game);
    else
        SwitchGame(games_, game, false);
}

void EditorTraceHost::ApplyExtras(const TraceFileContents& c) {
    SwitchToTraceGame(c.game);

    views_.activeView = c.activeView >= 0 && c.activeView < kViewCount ? c.activeView : 0;
    for (int i = 0; i < 3; ++i)
        views_.plans[i] = c.plans[i];
    views_.camera = c.camera;
    planViewsStored = c.planViewsRead;
    cameraStored = c.cameraRead;
    ApplyViewPresetLines(c.presetLines, views_.presets);

    games_.loadingLists = true;
    games_.gameConfigs.SelectText(c.gameConfig);
    games_.cmdsBefore.SelectText(c.script.commandsBefore);
    games_.cmdsAfter.SelectText(c.script.commandsAfter);
    games_.loadingLists = false;

    FrameRateList& rates = games_.aviDemos;
    ResetFrameRates(rates);
    for (int32_t rate : c.aviDemos)
        if (rate >= 1)
            rates.AddTemporary(rate);
    if (c.aviDemo >= 1)
        rates.SelectRate(c.aviDemo);

    demoName = c.demoName;
    demoMinutes = c.demoMinutes;
    demoSeconds = c.demoSeconds;
    demoForward = c.demoForward;

    mapName = c.mapName;
    if (loadMap)
        loadMap(QString(c.mapName)); // a copy: the map's own state updates mapName meanwhile
    if (changed)
        changed();
}

void EditorTraceHost::ShowNotes() {
    if (showNotes)
        showNotes();
}

void EditorTraceHost::ResetForNewTrace(bool unloadMap) {
    planViewsStored = true;
    cameraStored = true;
    views_.activeView = 0;
    ResetCamera(views_.camera);
    for (ViewPreset& p : views_.presets)
        p = ViewPreset{};
    if (unloadMap) {
        mapName.clear();
        if (loadMap)
            loadMap(mapName);
    }
    ResetFrameRates(games_.aviDemos);
    // The demo name stays too; the game switch empties it itself.
    if (changed)
        changed();
}

int32_t EditorTraceHost::DefaultFrameRate() {
    return games_.aviDemos.CurrentRate() >= 1 ? games_.aviDemos.CurrentRate()
                                              : games_.aviDemos.DefaultRate();
}

void ResetFrameRates(FrameRateList& rates) {
    for (int i = rates.Count() - 1; i >= 0; --i)
        if (rates.IsTemporary(i))
            rates.Remove(i);
    rates.SelectDefault();
}

} // namespace kestrova
