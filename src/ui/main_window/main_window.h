#pragma once
// The editor's main window, FrmMain, and the few start-up options it takes. Its commands,
// tabs and game binding are split over the main_window_*.cpp files beside it.

#include "core/files/document.h"
#include "core/files/editor_host.h"
#include "core/game/game_state.h"
#include "core/game/game_window.h"
#include "core/settings/settings.h"
#include "core/view/view_state.h"
#include "ui/qt_dialogs.h"

#include <QMainWindow>
#include <QMap>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QToolButton;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;

namespace kestrova::ui {

class CalcTab;
class CurveTab;
class FrmAbout;
class FrmDemos;
class FrmExport;
class FrmGameConfigs;
class FrmNotes;
class GameDemoPanel;
class GameTab;
class PointsGrid;
class ScriptTab;
class ViewArea;

struct StartupOptions {
    QString traceFile;      // the command line's trace; ignored when it does not exist
    bool splash = true;     // the About window as a splash screen (tests go without)
    bool about = true;      // false: no About window at all (batch pictures)
    QString mapFolder{};    // when set, both games look for maps there
    int languageIndex = -1; // 0 English, 1 French; -1 the stored language
};

// The editor's main window: the view area on the left, the points grids and tool tabs on the
// right, and the menus. It owns the document, the games and the settings; the widgets of the
// views and tool tabs bind to them and follow the signals below.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // Before the window shows: the stored language and the About window (a splash, or
    // modeless with a trace on the command line), so that it comes first.
    void PrepareStartup(const StartupOptions& options = {});
    // Start-up: settings, language, the stored game, the command-line trace.
    void Form_Load(const StartupOptions& options = {});
    bool IsLoaded() const { return loaded_; }
    bool OpenedWithFile() const { return openedWithFile_; }

    Document& Doc() { return doc_; }
    Trace& CurrentTrace() { return doc_.trace; }
    GameState& Games() { return game_; }
    Settings& CurrentSettings() { return settings_; }
    ViewState& Views() { return views_; }
    EditorTraceHost& Host() { return host_; }
    Dialogs& ProgramDialogs() { return dialogs_; }
    // Tests answer the program's questions themselves; nullptr restores the Qt dialogs.
    void SetDialogs(Dialogs* dialogs);

    // Captions of every control in the language at offset (0 English, 1000 French).
    void ApplyLanguage(int offset);
    void ApplyTooltips();
    void mnuVL_Lang_Click(int index);
    int CheckedLanguageIndex() const;
    void mnuTM_Mod_Click(int index);
    void mnuH_About_Click();

    PointsGrid* Grid(int kind) const { return grids_[kind]; }
    QAction* Action(const QString& objectName) const;
    QMenu* RecentFilesMenu() const { return recentMenu_; }
    FrmAbout* About() const { return about_; }
    FrmNotes* Notes() const { return notes_; }
    FrmExport* ExportDialog() const { return export_; }
    FrmDemos* Demos() const { return demos_; }
    GameWindowSystem& GameWindows() { return *gameWindows_; }
    // The views: the surface `picView`, its buttons and the map menu.
    ViewArea* Views3D() const { return viewArea_; }
    // The Calcul. tab: its SetLookTarget slot takes positions picked in the grids and views.
    CalcTab* Calculations() const { return calcTab_; }

    // Loads both grids from the trace.
    void RefreshGrids();
    // After anything changed the points: grids, command states, title, views.
    void RefreshAfterPointChange();
    // Enables the commands of the menus and of the widgets that exist by the point counts.
    void ApplyCommandStates();
    // The title follows the trace's name, its unsaved changes and the game.
    void UpdateTitle();

    // Set while a box that keeps its text until validated has the focus: shortcuts wait.
    void SetEditingFlag(bool editing) { editing_ = editing; }
    bool EditingFlag() const { return editing_; }
    // The preview playback: the close waits until it has stopped.
    void SetPreviewRunning(bool running) { previewRunning_ = running; }
    std::function<void()> stopPreview;
    // Leaves the preview lock (opening the Trace menu).
    std::function<void()> leavePreview;
    // Keys of the 3D view while it is shown (true: the key was used).
    std::function<bool(QKeyEvent* event, bool press)> viewKeys;
    std::function<bool()> view3DShown;
    // Whether no mouse action is in progress in the view (the tool keys wait for it).
    std::function<bool()> viewIdle;

    // The window's own shortcut table; false when the key goes on to the focused control.
    bool Form_KeyDown(QKeyEvent* event);
    bool Form_KeyUp(QKeyEvent* event);
    // Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Q typed in a box: its edit is committed, then the command runs.
    bool FileCommandFromBox(const char* actionName);
    int ActivationCount() const { return activationCount_; }

public slots:
    // A widget changed the points: record the undo state and refresh everything that shows them.
    void PointsEdited(bool control = true, bool reference = true);

signals:
    // The trace changed in any way (edit, undo, load, new): views redraw, tabs refresh.
    void TraceChanged();
    // A different game is current: game-only controls, camera modes, lists.
    void GameSwitched(int game);
    // A display or magnetize check item changed.
    void DisplayChanged();
    void LanguageChanged();
    // A top-level menu opens: boxes that keep their text until validated take it back.
    void AbandonEdits();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildPanels();
    void WireMenus();
    void LayOut();
    QAction* AddAction(QMenu* menu, const char* name, bool checkable = false);
    QMenu* AddMenu(QMenu* parent, const char* name);

    void ApplySettingsToMenus();
    void ReadSettingsFromMenus();
    void AfterGameSwitch();
    void FillRecentFilesMenu();
    void AfterDocumentCommand();
    // Undo and redo: the frame-rate list shows the restored rate.
    void AfterHistoryStep();
    void Shutdown();
    void WaitForCloseTick();
    void HideToolWindows();
    // The Curve, Script and Game tabs, their dialogs, the notes window and the Import and
    // Export commands (main_window_tabs.cpp).
    void InstallToolTabs();
    // The demo browser and the Game tab's demo part, bound to the game (main_window_game.cpp).
    void InstallGamePanel();

    QtDialogs qtDialogs_;
    ForwardingDialogs dialogs_;
    GameState game_;
    Settings settings_;
    ViewState views_;
    EditorTraceHost host_;
    RegistryRecentFilesStore recentStore_;
    Document doc_;

    bool loaded_ = false;
    bool openedWithFile_ = false;
    bool editing_ = false;
    bool previewRunning_ = false;
    bool closingByProgram_ = false;
    bool shutDown_ = false;
    int activationCount_ = 0;
    QTimer* tmrWaitForClose_ = nullptr;
    FrmAbout* about_ = nullptr;
    CalcTab* calcTab_ = nullptr;
    CurveTab* curveTab_ = nullptr;
    ScriptTab* scriptTab_ = nullptr;
    GameTab* gameTab_ = nullptr;
    FrmGameConfigs* picker_ = nullptr;
    FrmExport* export_ = nullptr;
    FrmNotes* notes_ = nullptr;
    FrmDemos* demos_ = nullptr;
    GameDemoPanel* demoPanel_ = nullptr;
    std::unique_ptr<GameWindowSystem> gameWindows_;

    std::array<PointsGrid*, 2> grids_{};
    std::array<QLabel*, 2> selectionLabels_{};
    QWidget* view_ = nullptr;
    ViewArea* viewArea_ = nullptr;
    QFrame* toolBar_ = nullptr;
    QFrame* rightPanel_ = nullptr;
    QToolButton* chkExpand_ = nullptr;
    QTabWidget* tabTools_ = nullptr;
    std::array<QLabel*, 3> lblPans_{};
    QActionGroup* languageGroup_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMap<QString, QAction*> actions_;
};

} // namespace kestrova::ui
