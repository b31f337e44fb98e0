// The tool tabs and their windows inside the main window, and the Trace menu's Import and Export.
#include "ui/dialogs/export_dialog.h"
#include "ui/dialogs/notes_window.h"
#include "ui/dialogs/script_picker.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/trace_commands.h"
#include "ui/tabs/calc_tab.h"
#include "ui/tabs/curve_tab.h"
#include "ui/tabs/game_tab.h"
#include "ui/tabs/script_tab.h"
#include "ui/view/gl_view.h"
#include "ui/widgets/points_grid.h"

#include <QAction>
#include <QFrame>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {

void FillPage(QTabWidget* tabs, int index, QWidget* content) {
    QWidget* page = tabs->widget(index);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

} // namespace

void FrmMain::InstallToolTabs() {
    picker_ = new FrmGameConfigs(this);
    export_ = new FrmExport(this);
    notes_ = new FrmNotes(doc_.trace, this);
    calcTab_ = new CalcTab(doc_, grids_);
    curveTab_ = new CurveTab(doc_, game_);
    scriptTab_ = new ScriptTab(doc_, game_, *picker_);
    gameTab_ = new GameTab(doc_, game_, *picker_);
    FillPage(tabTools_, 0, calcTab_);
    FillPage(tabTools_, 1, curveTab_);
    FillPage(tabTools_, 2, scriptTab_);
    FillPage(tabTools_, 3, gameTab_);
    InstallGamePanel();

    // The notes button stays at hand whichever tab is shown.
    auto* cmdTraceNotes = new QToolButton(tabTools_);
    cmdTraceNotes->setObjectName(QStringLiteral("cmdTraceNotes"));
    cmdTraceNotes->setText(QStringLiteral("Notes"));
    // A raised button, so that it reads as one beside the tabs and not as their caption.
    cmdTraceNotes->setAutoRaise(false);
    cmdTraceNotes->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tabTools_->setCornerWidget(cmdTraceNotes, Qt::TopRightCorner);
    connect(cmdTraceNotes, &QToolButton::clicked, notes_, &FrmNotes::Toggle);
    host_.showNotes = [this] {
        notes_->Refresh();
        notes_->ShowBesideOwner();
    };

    // What the tabs change is shown everywhere; what changes elsewhere is shown on the tabs.
    const auto refresh = [this] { RefreshAfterPointChange(); };
    connect(curveTab_, &CurveTab::TraceChanged, this, refresh);
    connect(scriptTab_, &ScriptTab::TraceChanged, this, refresh);
    connect(gameTab_, &GameTab::TraceChanged, this, refresh);
    connect(notes_, &FrmNotes::TraceChanged, this, [this] { UpdateTitle(); });
    connect(calcTab_, &CalcTab::PointsChanged, this, refresh);
    connect(calcTab_, &CalcTab::FocusView, this, [this] { view_->setFocus(); });
    connect(this, &FrmMain::AbandonEdits, calcTab_, &CalcTab::AbandonEdits);
    for (PointsGrid* g : grids_)
        connect(g, &PointsGrid::LookTargetPicked, calcTab_, &CalcTab::SetLookTarget);
    // Ctrl+Shift (or Ctrl+Alt) over a point in the views fills the same fields.
    if (auto* view = findChild<GlView*>(QStringLiteral("picView")))
        connect(view, &GlView::LookTargetPicked, calcTab_, &CalcTab::SetLookTargetTexts);
    connect(this, &FrmMain::TraceChanged, this, [this] {
        calcTab_->Refresh();
        curveTab_->Refresh();
        curveTab_->RefreshAviDemo();
        scriptTab_->Refresh();
        gameTab_->Refresh();
        notes_->Refresh();
    });
    connect(this, &FrmMain::GameSwitched, this, [this] {
        curveTab_->ApplyGame();
        scriptTab_->ApplyGame();
        gameTab_->Refresh();
    });
    connect(this, &FrmMain::AbandonEdits, curveTab_, &CurveTab::AbandonEdits);
    connect(this, &FrmMain::AbandonEdits, scriptTab_, &ScriptTab::AbandonEdits);
    connect(this, &FrmMain::LanguageChanged, notes_, &FrmNotes::ApplyLanguage);
    connect(this, &FrmMain::LanguageChanged, scriptTab_, &ScriptTab::ApplyLanguage);
    connect(this, &FrmMain::LanguageChanged, gameTab_, &GameTab::Refresh);
    connect(curveTab_, &CurveTab::EditingChanged, this, &FrmMain::SetEditingFlag);
    connect(curveTab_, &CurveTab::FocusView, this, [this] { view_->setFocus(); });
    connect(gameTab_, &GameTab::ModPathChanged, this, &FrmMain::ApplyTooltips);

    connect(actions_.value(QStringLiteral("mnuT_Import")), &QAction::triggered, this, [this] {
        if (ImportCommand(doc_, game_))
            AfterDocumentCommand();
        view_->setFocus();
    });
    connect(actions_.value(QStringLiteral("mnuT_ImportCam")), &QAction::triggered, this, [this] {
        if (ImportCameraCommand(doc_, game_))
            AfterDocumentCommand();
        view_->setFocus();
    });
    connect(actions_.value(QStringLiteral("mnuT_Export")), &QAction::triggered, this,
            [this] { ExportCommand(doc_, *export_); });
}

} // namespace kestrova::ui
