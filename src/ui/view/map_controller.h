#pragma once
// The map shown in the views and the Map menu: load, none, origin offset, the map's name item,
// and the magnetize submenu's enabled state.

#include "core/game/game_state.h"
#include "core/view/map_loading.h"
#include "ui/map/bsp_map_component.h"

#include <QObject>
#include <functional>
#include <memory>

class QAction;

namespace kestrova::ui {

class GlView;

class MapController : public QObject, public MapLoader {
    Q_OBJECT
public:
    // action: the main window's menu items by object name.
    MapController(GlView& view, Trace& trace, GameState& game, std::function<Dialogs&()> dialogs,
                  std::function<QAction*(const QString&)> action, QObject* parent = nullptr);

    MapState& State() { return state_; }
    BspMapComponent& Component() { return *component_; }

    void ChooseAndLoadMap(const QString& initialFileName = QString(), const QString& title = {});
    bool LoadMap(const QString& name);
    void UnloadMap();
    void UnloadMapByUser();
    void EditOriginOffset();
    // Map > Export geometry: the drawn map as a Wavefront file.
    void ExportGeometry();
    void UpdateMapMenus();

    // MapLoader
    bool Load(const QString& fullPath) override;
    QString LastError() const override { return component_->LastError(); }
    void Reset() override;
    MapBoundsArray Bounds() const override { return component_->GetBounds(); }

signals:
    // The trace was marked modified by a map change.
    void TraceModified();
    // A map was loaded or unloaded.
    void StateChanged();

private:
    MapContext Context();
    void ShowInView();

    GlView& view_;
    Trace& trace_;
    GameState& game_;
    std::function<Dialogs&()> dialogs_;
    std::function<QAction*(const QString&)> action_;
    std::unique_ptr<BspMapComponent> component_;
    MapState state_;
    QString geometryFolder_; // where the last geometry export went, this run only
};

} // namespace kestrova::ui
