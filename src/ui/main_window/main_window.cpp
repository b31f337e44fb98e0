#include "ui/main_window/main_window.h"

#include "core/model/grid_rows.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "ui/captions.h"
#include "ui/main_window/main_layout.h"
#include "ui/program_icon.h"
#include "ui/qt_translation.h"
#include "ui/view/gl_view.h"
#include "ui/view/preview_panel.h"
#include "ui/view/view_area.h"
#include "ui/widgets/points_grid.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
// The smallest window the system lets the user make, whatever the widgets need.
constexpr int kMinTrackWidth = 520;
constexpr int kMinTrackHeight = 513;
} // namespace

FrmMain::FrmMain(QWidget* parent)
    : QMainWindow(parent), qtDialogs_(this), dialogs_(qtDialogs_), host_(game_, views_),
      doc_(host_, dialogs_) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowIcon(ProgramIcon());
    setMinimumSize(kMinTrackWidth, kMinTrackHeight);
    BuildMenus();
    BuildPanels();
    WireMenus();
    InstallToolTabs();
    ApplyLanguage(LanguageOffset());
    UpdateTitle();
    // Wide enough at first for the view's tool bar to stand on one row beside the panel.
    const int oneRowWidth = toolBar_->sizeHint().width() - 7 + 11 +
                            std::max(kRightPanelWidth, rightPanel_->minimumSizeHint().width()) + 6;
    resize(std::max(1180, oneRowWidth), 760);
    // Captions of another length, another tab: the room the widgets need changes.
    connect(this, &FrmMain::LanguageChanged, this, [this] { LayOut(); });
    connect(tabTools_, &QTabWidget::currentChanged, this, [this] { LayOut(); });
}

void FrmMain::SetDialogs(Dialogs* dialogs) {
    dialogs_.SetTarget(dialogs ? *dialogs : static_cast<Dialogs&>(qtDialogs_));
}

QAction* FrmMain::AddAction(QMenu* menu, const char* name, bool checkable) {
    auto* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    actions_.insert(action->objectName(), action);
    return action;
}

QMenu* FrmMain::AddMenu(QMenu* parent, const char* name) {
    QMenu* menu = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* FrmMain::Action(const QString& objectName) const {
    return actions_.value(objectName);
}

void FrmMain::BuildMenus() {
    QMenu* trace = AddMenu(nullptr, "mnuTrace");
    // Spelled out: the platform's standard keys differ between desktops.
    AddAction(trace, "mnuT_New")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddAction(trace, "mnuT_Open")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddAction(trace, "mnuT_Save")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    trace->addSeparator();
    QMenu* import = AddMenu(trace, "mnuT_ImportMenu");
    AddAction(import, "mnuT_Import");
    AddAction(import, "mnuT_ImportCam");
    AddAction(trace, "mnuT_Export");
    trace->addSeparator();
    QMenu* mod = AddMenu(trace, "mnuT_GameMOD");
    auto* modGroup = new QActionGroup(this);
    for (const char* caption : {"&ET Pro", "&Defrag"}) {
        QAction* a = AddAction(mod, "mnuTM_Mod", true);
        a->setText(QString::fromLatin1(caption));
        a->setObjectName(QStringLiteral("mnuTM_Mod%1").arg(mod->actions().size() - 1));
        modGroup->addAction(a);
        actions_.insert(a->objectName(), a);
    }
    recentMenu_ = AddMenu(trace, "mnuT_RecentFiles");
    trace->addSeparator();
    AddAction(trace, "mnuT_Quit")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = AddMenu(nullptr, "mnuEdit");
    AddAction(edit, "mnuE_Undo")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddAction(edit, "mnuE_Redo")
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    AddAction(edit, "mnuE_SelectAll");
    AddAction(edit, "mnuE_DeselectAll");

    QMenu* map = AddMenu(nullptr, "mnuMap");
    QAction* mapName = AddAction(map, "mnuMapName");
    mapName->setEnabled(false);
    map->addSeparator();
    AddAction(map, "mnuMapNone");
    AddAction(map, "mnuMapLoad");
    AddAction(map, "mnuMapOrigin");
    AddAction(map, "mnuMapExport");
    QMenu* magnetize = AddMenu(map, "mnuMapMagnetize");
    AddAction(magnetize, "mnuMM_CtlPoints", true);
    AddAction(magnetize, "mnuMM_RefPoints", true);

    QMenu* display = AddMenu(nullptr, "mnuDisplay");
    AddAction(display, "mnuV_Refresh");
    display->addSeparator();
    for (const char* name :
         {"mnuV_ShowArrow", "mnuV_ShowTangent", "mnuV_ShowGrid", "mnuV_AntiAliasing",
          "mnuV_ShowRefPoints", "mnuV_ShowTimes", "mnuV_ShowRulers", "mnuV_ShowClearance"})
        AddAction(display, name, true);
    AddAction(display, "mnuV_ClearanceList");
    display->addSeparator();
    QMenu* theme = AddMenu(display, "mnuV_MenuTheme");
    theme->setTitle(QStringLiteral("Me&nu"));
    auto* themeGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> themes[] = {{"mnuVMT_Standard", "&Standard"},
                                                          {"mnuVMT_Gradient", "&Gradient"},
                                                          {"mnuVMT_OfficeXP", "&Office XP"}};
    for (const auto& [name, caption] : themes) {
        QAction* a = AddAction(theme, name, true);
        a->setText(QString::fromLatin1(caption));
        themeGroup->addAction(a);
    }
    actions_.value(QStringLiteral("mnuVMT_Standard"))->setChecked(true);
    display->addSeparator();
    QMenu* language = AddMenu(display, "mnuV_Language");
    languageGroup_ = new QActionGroup(this);
    for (int i = 0; i < 2; ++i) {
        QAction* a = AddAction(language, "mnuVL_Lang", true);
        a->setObjectName(QStringLiteral("mnuVL_Lang%1").arg(i));
        actions_.insert(a->objectName(), a);
        languageGroup_->addAction(a);
    }

    QMenu* help = AddMenu(nullptr, "mnuHelp");
    help->setTitle(QStringLiteral("?"));
    AddAction(help, "mnuH_About");
}

void FrmMain::BuildPanels() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    toolBar_ = new QFrame(central);
    toolBar_->setObjectName(QStringLiteral("fraToolBar"));
    for (int i = 0; i < 3; ++i) {
        lblPans_[i] = new QLabel(central);
        lblPans_[i]->setObjectName(QStringLiteral("lblPans%1").arg(i));
    }

    // A thin strip beside the view that hides the right panel to give the view the room.
    chkExpand_ = new QToolButton(central);
    chkExpand_->setObjectName(QStringLiteral("chkExpand"));
    chkExpand_->setCheckable(true);
    chkExpand_->setAutoRaise(true);
    chkExpand_->setStyleSheet(
        QStringLiteral("QToolButton#chkExpand { background: #b8bcc6; border: none; }"
                       "QToolButton#chkExpand:hover { background: #8a93a6; }"
                       "QToolButton#chkExpand:checked { background: #6b7a99; }"));
    connect(chkExpand_, &QToolButton::toggled, this, [this] { LayOut(); });

    rightPanel_ = new QFrame(central);
    rightPanel_->setObjectName(QStringLiteral("fraRight"));
    auto* panel = new QVBoxLayout(rightPanel_);
    panel->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Vertical, rightPanel_);
    for (int kind : {kControl, kReference}) {
        auto* box = new QWidget(split);
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(2);
        grids_[kind] = new PointsGrid(kind, doc_.trace, dialogs_, box);
        selectionLabels_[kind] = new QLabel(box);
        selectionLabels_[kind]->setObjectName(QStringLiteral("lblSelection%1").arg(kind));
        v->addWidget(grids_[kind], 1);
        v->addWidget(selectionLabels_[kind]);
        connect(grids_[kind], &PointsGrid::SelectionCaptionChanged, this,
                [this](int k, const QString& caption) { selectionLabels_[k]->setText(caption); });
        split->addWidget(box);
    }
    tabTools_ = new QTabWidget(split);
    tabTools_->setObjectName(QStringLiteral("tabTools"));
    for (int i = 0; i < 4; ++i) {
        auto* page = new QWidget(tabTools_);
        page->setObjectName(QStringLiteral("tabToolsPage%1").arg(i));
        tabTools_->addTab(page, QString());
    }
    split->addWidget(tabTools_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setStretchFactor(2, 2);
    panel->addWidget(split);

    viewArea_ = new ViewArea(*this, central, toolBar_, lblPans_);
    view_ = viewArea_->View();
    connect(viewArea_, &ViewArea::LayoutRequested, this, [this] { LayOut(); });
}

void FrmMain::LayOut() {
    MainLayoutInput in;
    in.clientWidth = centralWidget()->width();
    in.clientHeight = centralWidget()->height();
    in.panelShown = !chkExpand_->isChecked();
    in.view3D = viewArea_->Is3D();
    in.keep4by3 = viewArea_->Keep4by3();
    // What the widgets need in the current language and font.
    const QSize panelNeeds = rightPanel_->minimumSizeHint();
    in.panelWidth = std::max(kRightPanelWidth, panelNeeds.width());
    in.panelMinHeight = panelNeeds.height();
    // The view takes the narrowest tool bar row and, under it, the 3D panel's widest group.
    PreviewPanel* preview = viewArea_->Preview();
    in.minViewWidth =
        std::max(toolBar_->minimumSizeHint().width() - 7, preview->minimumSizeHint().width());
    in.belowViewExtra = [preview, view3D = in.view3D](int width) {
        return view3D ? std::min(preview->heightForWidth(width), 62) - 30 : 0;
    };
    in.toolBarHeight = [this](int width) { return toolBar_->heightForWidth(width); };
    const MainLayoutResult r = ComputeMainLayout(in);

    // The menu bar above the client area counts in the window's minimum.
    const int menuHeight = std::max(menuBar()->heightForWidth(r.minimumClient.width()),
                                    menuBar()->sizeHint().height());
    const QSize minimum(std::max(r.minimumClient.width(), kMinTrackWidth),
                        std::max(r.minimumClient.height() + menuHeight, kMinTrackHeight));
    if (minimumSize() != minimum) {
        const QSize before = size();
        setMinimumSize(minimum);
        if (size() != before)
            return; // the window grew and is laid out again from its resize
    }
    if (!r.valid)
        return;
    rightPanel_->setVisible(in.panelShown);
    view_->setGeometry(r.view);
    toolBar_->setGeometry(r.toolBar);
    chkExpand_->setGeometry(r.expandBox);
    rightPanel_->setGeometry(r.rightPanel);
    const int labelsTop = r.view.bottom() + 6;
    const int third = r.view.width() / 3;
    for (int i = 0; i < 3; ++i)
        lblPans_[i]->setGeometry(r.view.x() + i * third, labelsTop, third, 20);
    // The 3D panel under the captions, with the 3D view only.
    // One row, or two under a narrow view: the room below the captions holds both.
    preview->setGeometry(r.view.x(), labelsTop + 22, r.view.width(),
                         std::clamp(preview->heightForWidth(r.view.width()), 30, 62));
    preview->setVisible(in.view3D);
    preview->SetTableShown(in.panelShown);
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    if (stopPreview)
        stopPreview();
    QMainWindow::resizeEvent(event);
    LayOut();
}

void FrmMain::ApplyLanguage(int offset) {
    SetLanguageOffset(offset);
    UseQtTranslation(offset == kLanguageFrench);
    ApplyCaptions(this, LanguageCaptions());
    recentMenu_->setTitle(fStr(271));
    ApplyTooltips();
    emit LanguageChanged();
}

void FrmMain::ApplyTooltips() {
    // Any of the game's executable names marks its folder; the names of this system first.
    const GameProfile& profile = game_.CurrentProfile();
    const QStringList names = profile.ExecutablesThisSystemFirst();
    // The folder's own name says which one is meant; before one is chosen, the usual name.
    QString folder = QFileInfo(QDir::cleanPath(game_.Current().ModPath)).fileName();
    if (game_.Current().ModPath.trimmed().isEmpty() || folder.isEmpty())
        folder = profile.modId.toLower();
    ApplyTooltipTable(this, folder, names.join(QStringLiteral("', '")));
}

void FrmMain::mnuVL_Lang_Click(int index) {
    index = index == 1 ? 1 : 0;
    actions_.value(QStringLiteral("mnuVL_Lang%1").arg(index))->setChecked(true);
    settings_.languageIndex = index;
    ApplyLanguage(LanguageOffsetForIndex(index));
}

int FrmMain::CheckedLanguageIndex() const {
    QAction* checked = languageGroup_->checkedAction();
    return checked && checked->objectName() == QStringLiteral("mnuVL_Lang1") ? 1 : 0;
}

void FrmMain::RefreshGrids() {
    for (PointsGrid* g : grids_)
        g->LoadGrid();
}

} // namespace kestrova::ui
