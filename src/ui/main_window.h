#pragma once

#include "core/model/trace.h"
#include "ui/qt_dialogs.h"

#include <QMainWindow>
#include <QMap>
#include <array>

class QAction;
class QActionGroup;
class QToolButton;
class QFrame;
class QLabel;
class QMenu;
class QTabWidget;

namespace kestrova::ui {

class PointsGrid;

// The editor's main window: the view area on the left, the points grids and tool tabs on the
// right, and the menus.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    Trace& CurrentTrace() { return trace_; }
    Dialogs& ProgramDialogs() { return *dialogs_; }
    // Tests answer the program's questions themselves.
    void SetDialogs(Dialogs* dialogs);

    // Captions of every control in the language at offset (0 English, 1000 French).
    void ApplyLanguage(int offset);
    void ApplyTooltips();
    void mnuVL_Lang_Click(int index);
    int CheckedLanguageIndex() const;

    PointsGrid* Grid(int kind) const { return grids_[kind]; }
    QAction* Action(const QString& objectName) const;

    // Loads both grids from the trace.
    void RefreshGrids();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildPanels();
    void LayOut();
    QAction* AddAction(QMenu* menu, const char* name, bool checkable = false);
    QMenu* AddMenu(QMenu* parent, const char* name);

    Trace trace_;
    QtDialogs qtDialogs_;
    Dialogs* dialogs_;
    std::array<PointsGrid*, 2> grids_{};
    std::array<QLabel*, 2> selectionLabels_{};
    QFrame* view_ = nullptr;
    QFrame* toolBar_ = nullptr;
    QFrame* rightPanel_ = nullptr;
    QToolButton* chkExpand_ = nullptr;
    QTabWidget* tabTools_ = nullptr;
    std::array<QLabel*, 3> lblPans_{};
    QActionGroup* languageGroup_ = nullptr;
    QMap<QString, QAction*> actions_;
};

} // namespace kestrova::ui
