// The main window's life and commands: start-up, the menus' handlers, shortcuts and the close.
#include "core/files/document.h"
#include "core/model/point_table_ops.h"
#include "core/model/undo.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/demo_browser.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/menu_theme.h"
#include "ui/main_window/shortcut_keys.h"
#include "ui/main_window/window_title.h"
#include "ui/tabs/game_demo_panel.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"
#include "ui/widgets/points_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

namespace kestrova::ui {

namespace {

constexpr int kWaitForCloseMs = 30;
constexpr int kTwipsPerPixel = 15;
constexpr int kSwitchGameTitle = 702;
constexpr int kMessagesCaption = 52;
constexpr int kExposeWaitMs = 500;

struct DisplayItem {
    const char* name;
    bool Settings::*flag;
};

// The check items of the Display and Map menus and the settings that keep them.
const DisplayItem kDisplayItems[] = {
    {"mnuMM_CtlPoints", &Settings::snap2MapCtlPnt},
    {"mnuMM_RefPoints", &Settings::snap2MapRefPnt},
    {"mnuV_ShowArrow", &Settings::showArrows},
    {"mnuV_ShowTangent", &Settings::showTangent},
    {"mnuV_ShowGrid", &Settings::showGrid},
    {"mnuV_AntiAliasing", &Settings::antiAliasing},
    {"mnuV_ShowTimes", &Settings::showTimes},
    {"mnuV_ShowRulers", &Settings::showRuler},
    // Drawn only over a map.
    {"mnuV_ShowClearance", &Settings::showClearance},
};

const char* const kThemeItems[] = {"mnuVMT_Standard", "mnuVMT_Gradient", "mnuVMT_OfficeXP"};

// Widgets whose enabled state follows the point counts, when they exist.
void EnableIfPresent(QWidget* root, const char* name, bool enabled) {
    if (auto* w = root->findChild<QWidget*>(QString::fromLatin1(name)))
        w->setEnabled(enabled);
}

} // namespace

FrmMain::~FrmMain() {
    qApp->removeEventFilter(this);
    // The hooks point into child widgets that are about to go.
    stopPreview = nullptr;
    leavePreview = nullptr;
    // Closing the window commits an open cell editor. Done here, while the document and the
    // dialogs still live; the children go only after them.
    hide();
    for (PointsGrid* g : grids_)
        if (g)
            g->blockSignals(true);
}

void FrmMain::WireMenus() {
    auto on = [this](const char* name, auto&& slot) {
        connect(actions_.value(QString::fromLatin1(name)), &QAction::triggered, this,
                std::forward<decltype(slot)>(slot));
    };
    on("mnuT_New", [this] {
        // The map stays: a new trace is often made over the same map. Only a game switch drops it.
        NewTrace(doc_, false);
        AfterDocumentCommand();
    });
    on("mnuT_Open", [this] {
        OpenTrace(doc_);
        AfterDocumentCommand();
    });
    on("mnuT_Save", [this] {
        SaveTrace(doc_);
        AfterDocumentCommand();
    });
    on("mnuT_Quit", [this] { close(); });
    for (int i = 0; i < 2; ++i)
        on(QStringLiteral("mnuTM_Mod%1").arg(i).toLatin1().constData(),
           [this, i] { mnuTM_Mod_Click(i); });
    connect(recentMenu_, &QMenu::aboutToShow, this, &FrmMain::FillRecentFilesMenu);

    // After an undo the user looks at the views, so they take the keys again.
    on("mnuE_Undo", [this] {
        if (UndoEdit(doc_))
            AfterHistoryStep();
        view_->setFocus();
    });
    on("mnuE_Redo", [this] {
        if (RedoEdit(doc_))
            AfterHistoryStep();
        view_->setFocus();
    });
    on("mnuE_SelectAll", [this] {
        SelectAll(doc_.trace);
        RefreshAfterPointChange();
        for (PointsGrid* g : grids_)
            g->SetSelection({1, g->rowCount(), 1, g->columnCount() - 1});
    });
    on("mnuE_DeselectAll", [this] {
        DeselectAll(doc_.trace);
        RefreshAfterPointChange();
        for (PointsGrid* g : grids_)
            g->SetSelection({});
    });

    for (const DisplayItem& item : kDisplayItems) {
        on(item.name, [this, item](bool checked) {
            settings_.*item.flag = checked;
            emit DisplayChanged();
        });
    }
    // The reference points' display is the trace's own flag (adding a reference point turns it
    // on); the settings keep it between runs.
    on("mnuV_ShowRefPoints", [this](bool checked) {
        doc_.trace.showReferencePoints = checked;
        RefreshVisibleFlags(doc_.trace);
        if (!checked)
            for (int i = 1; i <= doc_.trace.ReferenceCount(); ++i)
                doc_.trace.points.rec[kReference][i].selected = false;
        RefreshAfterPointChange();
        emit DisplayChanged();
    });
    on("mnuV_Refresh", [this] { view_->update(); });
    for (int i = 0; i < 3; ++i)
        on(kThemeItems[i], [this, i] {
            settings_.menuTheme = i;
            ApplyMenuTheme(menuBar(), i);
        });
    for (int i = 0; i < kLanguageCount; ++i)
        on(QStringLiteral("mnuVL_Lang%1").arg(i).toLatin1().constData(),
           [this, i] { mnuVL_Lang_Click(i); });
    on("mnuH_About", [this] { mnuH_About_Click(); });

    // Opening a menu gives up the text being typed into a box that waits for validation.
    for (const char* name : {"mnuTrace", "mnuEdit", "mnuDisplay", "mnuHelp"}) {
        auto* menu = findChild<QMenu*>(QString::fromLatin1(name));
        connect(menu, &QMenu::aboutToShow, this, [this, name] {
            emit AbandonEdits();
            if (qstrcmp(name, "mnuTrace") == 0) {
                if (leavePreview)
                    leavePreview();
            } else if (qstrcmp(name, "mnuDisplay") != 0 && stopPreview) {
                stopPreview();
            }
        });
    }

    for (PointsGrid* g : grids_)
        connect(g, &PointsGrid::PointsEdited, this,
                [this](int kind) { PointsEdited(kind == kControl, kind == kReference); });

    tmrWaitForClose_ = new QTimer(this);
    tmrWaitForClose_->setObjectName(QStringLiteral("tmrWaitForClose"));
    tmrWaitForClose_->setInterval(kWaitForCloseMs);
    connect(tmrWaitForClose_, &QTimer::timeout, this, &FrmMain::WaitForCloseTick);

    // Switching games and loading follow the game state; the recent files live in its key.
    game_.loadRecentFiles = [this](const QString&) {
        SetDocumentGame(doc_, game_.Game(), &recentStore_);
    };
    doc_.foldersChanged = [this] {
        StoreRememberedFolders(settings_, game_, doc_.traceFolder, doc_.exportFolder);
    };
    host_.switchGame = [this](int game) {
        host_.demoName.clear(); // the other game's demo; the trace brings its own
        SwitchGame(game_, game, false);
        AfterGameSwitch();
    };

    qApp->installEventFilter(this);
}

void FrmMain::PrepareStartup(const StartupOptions& options) {
    settings_.languageIndex =
        options.languageIndex >= 0 ? (options.languageIndex == 1 ? 1 : 0) : StoredLanguageIndex();
    ApplyLanguage(LanguageOffsetForIndex(settings_.languageIndex));
    if (about_)
        return;
    about_ = new FrmAbout(this);
    if (options.about && !options.traceFile.isEmpty())
        about_->ShowModeless();
    else if (options.about && options.splash)
        about_->ShowSplash();
    // Painted now, not left blank behind whatever the start-up asks.
    QElapsedTimer waited;
    waited.start();
    while (about_->isVisible() && about_->windowHandle() && !about_->windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

void FrmMain::Form_Load(const StartupOptions& options) {
    openedWithFile_ = !options.traceFile.isEmpty();
    PrepareStartup(options);
    // The main window may have been shown over it since: the About stays in front.
    if (about_->isVisible()) {
        about_->raise();
        QCoreApplication::processEvents();
    }

    ScreenTwips screen;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        screen.width = s->size().width() * kTwipsPerPixel;
        screen.height = s->size().height() * kTwipsPerPixel;
    }
    LoadSettings(settings_, game_, screen, &dialogs_);
    if (!options.mapFolder.isEmpty())
        for (GameConfig& c : game_.configs)
            c.DftPathBsp = options.mapFolder;
    if (options.languageIndex >= 0)
        settings_.languageIndex = options.languageIndex == 1 ? 1 : 0;
    demos_->ApplyStoredSize(settings_.demosWidthTwips, settings_.demosHeightTwips);
    // The document keeps the trace folders of both games while the editor runs (the import
    // borrows the position folders for its own run).
    for (int g = 0; g < kGameCount; ++g)
        doc_.traceFolder[g] = game_.configs[g].DftPathTraces;
    ApplySettingsToMenus();
    ApplyLanguage(LanguageOffsetForIndex(settings_.languageIndex));

    SwitchToStartupGame(game_, game_.currentGame);
    doc_.exportFolder = settings_.dftPathExtract;
    AfterGameSwitch();

    NewTrace(doc_, false); // an empty trace with the game's default frame rate
    if (openedWithFile_ && QFileInfo(options.traceFile).isFile())
        LoadTraceFile(doc_, options.traceFile);
    AfterDocumentCommand();
    loaded_ = true;
}

void FrmMain::ApplySettingsToMenus() {
    for (const DisplayItem& item : kDisplayItems)
        actions_.value(QString::fromLatin1(item.name))->setChecked(settings_.*item.flag);
    doc_.trace.showReferencePoints = settings_.showRefPnts;
    RefreshVisibleFlags(doc_.trace);
    actions_.value(QStringLiteral("mnuV_ShowRefPoints"))->setChecked(settings_.showRefPnts);
    const int theme = std::clamp(settings_.menuTheme, 0, 2);
    actions_.value(QString::fromLatin1(kThemeItems[theme]))->setChecked(true);
    ApplyMenuTheme(menuBar(), theme);
    actions_.value(QStringLiteral("mnuVL_Lang%1").arg(settings_.languageIndex == 1 ? 1 : 0))
        ->setChecked(true);
}

void FrmMain::ReadSettingsFromMenus() {
    for (const DisplayItem& item : kDisplayItems)
        settings_.*item.flag = actions_.value(QString::fromLatin1(item.name))->isChecked();
    settings_.showRefPnts = doc_.trace.showReferencePoints;
    settings_.languageIndex = CheckedLanguageIndex();
    for (int i = 0; i < 3; ++i)
        if (actions_.value(QString::fromLatin1(kThemeItems[i]))->isChecked())
            settings_.menuTheme = i;
    settings_.demosWidthTwips = demos_->WidthTwips();
    settings_.demosHeightTwips = demos_->HeightTwips();
}

void FrmMain::mnuTM_Mod_Click(int index) {
    // Another game starts from a new trace; Cancel leaves everything as it was. The question
    // says that the trace is closed, which a plain "New" would not.
    const bool switched = ChooseGameFromMenu(game_, index, [this] {
        if (!ConfirmDiscard(doc_, fStr(kSwitchGameTitle)))
            return false;
        doc_.trace.modified = false; // answered once: the new trace asks nothing more
        return NewTrace(doc_, true);
    });
    if (switched) {
        host_.demoName.clear();
        AfterGameSwitch();
        AfterDocumentCommand();
    }
    actions_.value(QStringLiteral("mnuTM_Mod%1").arg(game_.Game()))->setChecked(true);
}

void FrmMain::AfterGameSwitch() {
    actions_.value(QStringLiteral("mnuTM_Mod%1").arg(game_.Game()))->setChecked(true);
    ApplyTooltips();
    emit GameSwitched(game_.Game());
    UpdateTitle();
}

void FrmMain::mnuH_About_Click() {
    if (!about_)
        about_ = new FrmAbout(this);
    about_->ShowModal();
}

void FrmMain::FillRecentFilesMenu() {
    recentMenu_->clear();
    const QList<RecentFile>& entries = doc_.recent.Entries();
    for (int i = 0; i < entries.size(); ++i) {
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(entries[i].caption).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setObjectName(QStringLiteral("mnuT_RecentFiles%1").arg(i));
        a->setData(entries[i].path);
        a->setToolTip(entries[i].path);
        connect(a, &QAction::triggered, this, [this, i] {
            OpenRecentFile(doc_, i);
            AfterDocumentCommand();
        });
    }
    if (entries.isEmpty())
        recentMenu_->addAction(QStringLiteral("-"))->setEnabled(false);
}

void FrmMain::AfterDocumentCommand() {
    RefreshAfterPointChange();
}

void FrmMain::AfterHistoryStep() {
    const int32_t rate = doc_.trace.counts.frameRate;
    if (rate >= 1 && game_.aviDemos.CurrentRate() != rate)
        game_.aviDemos.SelectRate(rate);
    RefreshAfterPointChange();
}

void FrmMain::UpdateTitle() {
    QString game;
    if (QAction* a = actions_.value(QStringLiteral("mnuTM_Mod%1").arg(game_.Game())))
        game = a->text().remove(QLatin1Char('&'));
    setWindowTitle(MainWindowTitle(doc_.traceName, doc_.trace.modified, game));
}

void FrmMain::PointsEdited(bool control, bool reference) {
    RecordEdit(doc_, control, reference);
    RefreshAfterPointChange();
}

void FrmMain::RefreshAfterPointChange() {
    UpdateCommandStates(doc_);
    actions_.value(QStringLiteral("mnuV_ShowRefPoints"))
        ->setChecked(doc_.trace.showReferencePoints);
    RefreshGrids();
    ApplyCommandStates();
    emit TraceChanged();
    UpdateTitle();
}

void FrmMain::ApplyCommandStates() {
    const CommandStates& s = doc_.commands;
    actions_.value(QStringLiteral("mnuT_New"))->setEnabled(s.newTrace);
    actions_.value(QStringLiteral("mnuT_Save"))->setEnabled(s.save);
    actions_.value(QStringLiteral("mnuT_Export"))->setEnabled(s.exportTrace);
    actions_.value(QStringLiteral("mnuE_SelectAll"))->setEnabled(s.selectAll);
    actions_.value(QStringLiteral("mnuE_DeselectAll"))->setEnabled(s.deselectAll);
    actions_.value(QStringLiteral("mnuE_Undo"))->setEnabled(doc_.undo.undoEnabled);
    actions_.value(QStringLiteral("mnuE_Redo"))->setEnabled(doc_.undo.redoEnabled);
    EnableIfPresent(this, "cmdCreateScript", s.createScript);
    EnableIfPresent(this, "chkPreviewLock", s.previewLock);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The window sees keys before its controls, as long as no other window is in front.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease ||
         type == QEvent::ShortcutOverride) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
        watched == QApplication::focusWidget()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::ShortcutOverride) {
            // A box being typed into keeps Ctrl+Z, Ctrl+S... for itself: the key then arrives
            // as a key press, which the box handles or ignores.
            if ((editing_ || TypesText(static_cast<QWidget*>(watched))) && IsWindowShortcut(key))
                key->accept();
            return QMainWindow::eventFilter(watched, event);
        }
        return type == QEvent::KeyPress ? Form_KeyDown(key) : Form_KeyUp(key);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool FrmMain::Form_KeyDown(QKeyEvent* event) {
    if (const char* command = FileCommandAction(event);
        command && (editing_ || TypesText(QApplication::focusWidget())))
        return FileCommandFromBox(command);
    if (editing_)
        return false;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    const int key = event->key();
    QWidget* focus = QApplication::focusWidget();
    const bool typing = TypesText(focus);
    // Ctrl+A and the 3D keys mean points only where points are shown.
    const bool onPoints = focus == view_ || qobject_cast<PointsGrid*>(focus) != nullptr;
    auto button = [this](const char* name) {
        return findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    if (typing && RedoInTextBox(focus, event))
        return true;
    if (ctrl && key == Qt::Key_M) {
        if (QAbstractButton* b = button("chkSIncConMsg")) {
            b->toggle();
            // Seen wherever the user is: its tab comes forward and the views say it too.
            for (int i = 0; i < tabTools_->count(); ++i)
                if (tabTools_->widget(i)->isAncestorOf(b))
                    tabTools_->setCurrentIndex(i);
            b->setFocus();
            viewArea_->View()->ShowTransientCaption(
                fStr(kMessagesCaption) +
                (b->isChecked() ? QStringLiteral(" \u2611") : QStringLiteral(" \u2610")));
        }
        return true;
    }
    if (key == Qt::Key_F2) {
        if (QAbstractButton* b = button("cmdTraceNotes"))
            b->click();
        return true;
    }
    if (ctrl && key == Qt::Key_Space) {
        QAbstractButton* b = button("cmdCreateScript");
        if (!b || !b->isEnabled())
            return false;
        b->click();
        return true;
    }
    if (focus == view_ && view3DShown && view3DShown()) {
        if (viewKeys && viewKeys(event, true))
            return true;
    }
    if (key == Qt::Key_A && (ctrl || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        QAction* a = actions_.value(ctrl ? QStringLiteral("mnuE_SelectAll")
                                         : QStringLiteral("mnuE_DeselectAll"));
        if (!onPoints || !a->isEnabled())
            return false;
        a->trigger();
        return true;
    }
    // The tool keys act whatever modifiers are held.
    const char* tool = key == Qt::Key_S   ? "optTools0"
                       : key == Qt::Key_B ? "optTools1"
                       : key == Qt::Key_T ? "optTools2"
                                          : nullptr;
    if (tool && !typing) {
        QAbstractButton* b = button(tool);
        if (b && (!viewIdle || viewIdle())) {
            if (b->isEnabled())
                b->click();
            return true;
        }
    }
    return false;
}

bool FrmMain::FileCommandFromBox(const char* actionName) {
    QAction* action = actions_.value(QString::fromLatin1(actionName));
    if (!action || !action->isEnabled())
        return false;
    // The demo-time boxes act on the game with Enter; what they hold is no part of the trace.
    QWidget* focus = QApplication::focusWidget();
    if (!(demoPanel_ && demoPanel_->isAncestorOf(focus)) && !CommitTypedText(focus))
        return true;
    if (action->isEnabled())
        action->trigger();
    return true;
}

bool FrmMain::Form_KeyUp(QKeyEvent* event) {
    if (editing_)
        return false;
    // A key let go elsewhere still ends the camera's move; the control keeps its own release.
    if (view3DShown && view3DShown() && viewKeys) {
        const bool used = viewKeys(event, false);
        return used && QApplication::focusWidget() == view_;
    }
    return false;
}

void FrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (activationCount_ < std::numeric_limits<int>::max())
            ++activationCount_;
        if (activationCount_ >= 2)
            HideToolWindows();
    }
}

void FrmMain::HideToolWindows() {
    for (const char* name : {"FrmAbout", "FrmNotes", "FrmDemos"})
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)); w && w->isVisible())
            if (!w->isModal() && !(demos_ == w && demos_->JustShown()))
                w->hide();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (shutDown_) {
        event->accept();
        return;
    }
    if (!closingByProgram_) {
        // The user's close: ask, then wait for the preview loop before closing for real.
        if (!ConfirmClose(doc_)) {
            UpdateTitle();
            event->ignore();
            return;
        }
        if (stopPreview)
            stopPreview();
        tmrWaitForClose_->start();
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
}

void FrmMain::WaitForCloseTick() {
    if (previewRunning_)
        return;
    tmrWaitForClose_->stop();
    closingByProgram_ = true;
    close();
}

void FrmMain::Shutdown() {
    if (loaded_) {
        ReadSettingsFromMenus();
        SaveSettings(settings_, game_);
    }
    for (const char* name : {"FrmAbout", "FrmNotes", "FrmDemos", "FrmGameConfigs", "FrmExport"})
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            w->close();
    qApp->removeEventFilter(this);
    shutDown_ = true;
}

} // namespace kestrova::ui
