#include "ui/view/view_area.h"

#include "core/model/point_table_ops.h"
#include "core/settings/language.h"
#include "ui/dialogs/clearance_window.h"
#include "ui/main_window/main_window.h"
#include "ui/view/gl_view.h"
#include "ui/view/map_controller.h"
#include "ui/view/preview_panel.h"
#include "ui/view/view_toolbar.h"
#include "ui/widgets/points_grid.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidgetItem>

namespace kestrova::ui {

namespace {
constexpr int kAddPointTitle = 280;
}

ViewArea::ViewArea(FrmMain& window, QWidget* parent, QFrame* toolBarFrame,
                   const std::array<QLabel*, 3>& labels)
    : QObject(parent), window_(window) {
    view_ = new GlView(window.CurrentTrace(), window.Views(), window.CurrentSettings(), parent,
                       &window.ProgramDialogs());
    view_->SetGame(window.Games().Game());
    toolBar_ = new ViewToolBar(*view_, window.CurrentTrace(), toolBarFrame);
    auto* row = new QHBoxLayout(toolBarFrame);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(toolBar_);
    map_ = new MapController(
        *view_, window.CurrentTrace(), window.Games(),
        [&window]() -> Dialogs& { return window.ProgramDialogs(); },
        [&window](const QString& name) { return window.Action(name); }, this);

    // Element 1 of the view frame's captions is lblPans0, and so on.
    connect(view_, &GlView::CaptionChanged, this, [labels](int element, const QString& text) {
        if (element >= 1 && element <= 3 && labels[element - 1])
            labels[element - 1]->setText(text);
    });
    connect(view_, &GlView::ViewSelected, this, [this] {
        toolBar_->ShowView(view_->Navigator().ActiveView());
        toolBar_->UpdateToolButtons();
        emit LayoutRequested();
    });
    connect(view_, &GlView::PointsEdited, &window, [&window] { window.PointsEdited(); });
    for (int kind : {kControl, kReference}) {
        PointsGrid* grid = window.Grid(kind);
        if (!grid)
            continue;
        connect(grid, &PointsGrid::SelectedRowsChanged, view_, [this, grid](int k) {
            const GridSelection s = grid->Selection();
            view_->SetTableHighlight(k, s.firstRow, s.lastRow);
        });
        // New points go to the table the user last worked in.
        grid->installEventFilter(this);
    }
    connect(view_, &GlView::RowChanged, this, [&window](int kind, int index) {
        if (PointsGrid* g = window.Grid(kind))
            g->WriteGridRow(index);
    });
    connect(view_, &GlView::SelectRow, this, [&window](int kind, int row) {
        PointsGrid* g = window.Grid(kind);
        if (!g)
            return;
        if (row < 1) {
            g->clearSelection();
            return;
        }
        g->SetSelection({row, row, 1, g->columnCount() - 1});
        if (QTableWidgetItem* item = g->item(row - 1, 0))
            g->scrollToItem(item);
    });
    connect(view_, &GlView::ReferenceDisplayOn, this, [&window] {
        QAction* a = window.Action(QStringLiteral("mnuV_ShowRefPoints"));
        if (a && !a->isChecked())
            a->trigger();
    });
    connect(toolBar_, &ViewToolBar::TangentToolChosen, this, [&window] {
        QAction* a = window.Action(QStringLiteral("mnuV_ShowTangent"));
        if (a && !a->isChecked())
            a->trigger();
    });
    connect(&window, &FrmMain::GameSwitched, view_, &GlView::SetGame);
    connect(toolBar_, &ViewToolBar::LayoutRequested, this, &ViewArea::LayoutRequested);
    connect(&window, &FrmMain::TraceChanged, this, [this] {
        toolBar_->UpdateToolButtons();
        view_->Redraw();
    });
    connect(&window, &FrmMain::DisplayChanged, view_, &GlView::Redraw);
    connect(&window, &FrmMain::LanguageChanged, view_, &GlView::ApplyLanguage);
    connect(map_, &MapController::StateChanged, this,
            [this, &window] { window.Host().mapName = map_->State().name; });
    // The map's name and the view presets are saved with the trace: the title shows the change.
    connect(map_, &MapController::TraceModified, &window, &FrmMain::UpdateTitle);
    connect(toolBar_, &ViewToolBar::TraceModified, &window, &FrmMain::UpdateTitle);

    view_->canAddPoint = [&window](int kind) {
        return CanAddPoint(window.CurrentTrace(), kind, fStr(kAddPointTitle),
                           window.ProgramDialogs());
    };
    // After the tool bar's own binding to the trace, so that the lock has the last word.
    preview_ = new PreviewPanel(window, *view_, parent);
    connect(preview_, &PreviewPanel::Unlocked, toolBar_, &ViewToolBar::UpdateToolButtons);

    window.view3DShown = [this] { return Is3D(); };
    window.viewKeys = [this](QKeyEvent* event, bool press) {
        return press ? view_->HandleKeyDown(event) : view_->HandleKeyUp(event);
    };
    window.viewIdle = [this] { return view_->Idle(); };

    EditorTraceHost& host = window.Host();
    host.loadMap = [this](const QString& name) {
        if (name.isEmpty())
            map_->UnloadMap();
        else
            map_->LoadMap(name);
    };
    // After a trace is loaded or a new one started: its view, presets and tools.
    std::function<void()> previous = host.changed;
    host.changed = [this, previous] {
        if (previous)
            previous();
        FollowViewState();
    };
    FollowViewState();
    InstallClearance();
}

void ViewArea::InstallClearance() {
    clearance_ = new ClearanceWindow(window_.CurrentTrace(), &window_);
    auto refresh = [this] {
        if (!clearance_->isVisible())
            return;
        const bool shown = map_->State().shown;
        const ClearanceReport* report = view_->UpdateClearance(); // may start a check
        clearance_->Show(report, shown ? map_->Component().Map().BrushError() : QString(),
                         view_->ClearanceChecking());
    };
    if (QAction* a = window_.Action(QStringLiteral("mnuV_ClearanceList")))
        connect(a, &QAction::triggered, this, [this, refresh] {
            clearance_->show();
            clearance_->raise();
            refresh();
        });
    connect(view_, &GlView::ClearanceChanged, this, refresh);
    connect(&window_, &FrmMain::TraceChanged, this, refresh);
    connect(map_, &MapController::StateChanged, this, refresh);
    connect(&window_, &FrmMain::LanguageChanged, clearance_, &ClearanceWindow::ApplyLanguage);
    connect(clearance_, &ClearanceWindow::DistanceChanged, view_,
            [this](double d) { view_->SetClearanceDistance(static_cast<float>(d)); });
    // The plans centre on the stretch, its segment's row is selected, and the 3D view looks
    // through the camera there.
    connect(clearance_, &ClearanceWindow::GoTo, this, [this](int32_t index) {
        const Trace& t = window_.CurrentTrace();
        if (index < 0 || index > t.pathUpper)
            return;
        const PointRecord& p = t.path[static_cast<size_t>(index)];
        view_->CentrePlansOn({p.x, p.y, p.z});
        emit view_->SelectRow(kControl, p.segment);
        if (Is3D())
            preview_->GoToPathIndex(index);
    });
}

bool ViewArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (int kind : {kControl, kReference})
            if (watched == window_.Grid(kind))
                view_->SetTableList(kind);
    return QObject::eventFilter(watched, event);
}

bool ViewArea::Is3D() const {
    return view_->Navigator().Is3D();
}

bool ViewArea::Keep4by3() const {
    return toolBar_->Keep4by3()->isChecked();
}

void ViewArea::FollowViewState() {
    view_->SelectView(view_->Navigator().ActiveView());
    // A trace that did not bring its views is shown whole.
    EditorTraceHost& host = window_.Host();
    if (!host.planViewsStored) {
        host.planViewsStored = true;
        view_->FitPlans();
    }
    if (!host.cameraStored) {
        host.cameraStored = true;
        view_->LookAtPoints();
    }
    toolBar_->RefreshPresetButtons();
    toolBar_->UpdateToolButtons();
}

} // namespace kestrova::ui
