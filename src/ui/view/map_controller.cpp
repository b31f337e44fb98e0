#include "ui/view/map_controller.h"

#include "core/files/compositing_commands.h"
#include "ui/dialogs/map_origin_dialog.h"
#include "ui/view/gl_view.h"

#include <QAction>
#include <QMenu>

namespace kestrova::ui {

MapController::MapController(GlView& view, Trace& trace, GameState& game,
                             std::function<Dialogs&()> dialogs,
                             std::function<QAction*(const QString&)> action, QObject* parent)
    : QObject(parent), view_(view), trace_(trace), game_(game), dialogs_(std::move(dialogs)),
      action_(std::move(action)), component_(CreateMapComponent()) {
    auto connectItem = [this](const char* name, auto slot) {
        if (QAction* a = action_(QString::fromLatin1(name)))
            connect(a, &QAction::triggered, this, slot);
    };
    connectItem("mnuMapLoad", [this] { ChooseAndLoadMap(); });
    connectItem("mnuMapNone", [this] { UnloadMapByUser(); });
    connectItem("mnuMapOrigin", [this] { EditOriginOffset(); });
    connectItem("mnuMapExport", [this] { ExportGeometry(); });
    // The separator under the map's name shows and hides with it.
    if (QAction* name = action_(QStringLiteral("mnuMapName"))) {
        const auto menus = name->associatedObjects();
        for (QObject* o : menus) {
            auto* menu = qobject_cast<QMenu*>(o);
            if (!menu)
                continue;
            const auto items = menu->actions();
            const qsizetype at = items.indexOf(name);
            if (at >= 0 && at + 1 < items.size() && items[at + 1]->isSeparator())
                items[at + 1]->setObjectName(QStringLiteral("mnuMapNameSep"));
        }
    }
    UnloadMap();
}

MapContext MapController::Context() {
    return MapContext{state_,
                      trace_,
                      game_.Current(),
                      dialogs_(),
                      *this,
                      [this] {
                          ShowInView();
                          view_.FitPlansToMap();
                      },
                      [this] { UpdateMapMenus(); },
                      [this] {
                          ShowInView();
                          view_.Redraw();
                      }};
}

void MapController::ShowInView() {
    view_.SetMap(state_.shown ? component_.get() : nullptr,
                 {state_.offset[0], state_.offset[1], state_.offset[2]});
}

bool MapController::Load(const QString& fullPath) {
    // The component's lists belong to the view's context.
    view_.makeCurrent();
    const bool ok = component_->LoadMap(fullPath, 4);
    view_.doneCurrent();
    return ok;
}

void MapController::Reset() {
    view_.SetMap(nullptr, {0, 0, 0});
    view_.makeCurrent();
    component_ = CreateMapComponent();
    view_.doneCurrent();
}

void MapController::ChooseAndLoadMap(const QString& initialFileName, const QString& title) {
    const bool wasModified = trace_.modified;
    MapContext c = Context();
    kestrova::ChooseAndLoadMap(c, initialFileName, title);
    ShowInView();
    if (trace_.modified && !wasModified)
        emit TraceModified();
}

bool MapController::LoadMap(const QString& name) {
    const bool wasModified = trace_.modified;
    MapContext c = Context();
    const bool loaded = kestrova::LoadMap(c, name);
    ShowInView();
    if (trace_.modified && !wasModified)
        emit TraceModified();
    return loaded;
}

void MapController::UnloadMap() {
    MapContext c = Context();
    kestrova::UnloadMap(c);
    ShowInView();
}

void MapController::UnloadMapByUser() {
    const bool wasModified = trace_.modified;
    MapContext c = Context();
    kestrova::UnloadMapByUser(c);
    ShowInView();
    if (trace_.modified && !wasModified)
        emit TraceModified();
}

void MapController::EditOriginOffset() {
    if (!state_.shown)
        return;
    FrmBspOrigin dialog(dialogs_(), view_.window());
    dialog.SetOffsets(state_.offset[0], state_.offset[1], state_.offset[2]);
    dialog.exec();
    if (dialog.Canceled())
        return;
    dialog.GetOffsets(state_.offset[0], state_.offset[1], state_.offset[2]);
    SaveOriginOffset(state_);
    ShowInView();
    view_.Redraw();
}

void MapController::ExportGeometry() {
    if (!state_.shown)
        return;
    ExportMapGeometry(dialogs_(), component_->Map().Geometry(), state_.offset, state_.name,
                      geometryFolder_);
}

void MapController::UpdateMapMenus() {
    emit StateChanged();
    for (const char* name : {"mnuMapNone", "mnuMapOrigin", "mnuMapExport"})
        if (QAction* a = action_(QString::fromLatin1(name)))
            a->setEnabled(state_.shown);
    if (QAction* name = action_(QStringLiteral("mnuMapName"))) {
        name->setText(state_.shown ? MapMenuCaption(state_.name) : QString());
        name->setVisible(state_.shown);
        for (QObject* o : name->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(o)) {
                for (QAction* item : menu->actions())
                    if (item->objectName() == QStringLiteral("mnuMapNameSep"))
                        item->setVisible(state_.shown);
                // mnuMapMagnetize is a submenu of the same menu.
                for (QAction* item : menu->actions())
                    if (item->menu() &&
                        item->menu()->objectName() == QStringLiteral("mnuMapMagnetize"))
                        item->setEnabled(state_.shown);
            }
    }
}

} // namespace kestrova::ui
