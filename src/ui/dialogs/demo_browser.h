#pragma once
// The demo browser: a small tool window with the modification's demos as a tree. A double-click
// chooses a demo; the context menu opens the demo's notes file in the user's text editor.

#include "core/game/demo_tree.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestrova::ui {

class FrmDemos : public QWidget {
    Q_OBJECT
public:
    explicit FrmDemos(QWidget* owner = nullptr);

    // Setting the folder rescans.
    void SetModPath(const QString& modPath) { SetSearchPath({modPath}); }
    // The modification folders of the game's search path, the first winning.
    void SetSearchPath(const QStringList& modFolders);
    QString ModPath() const { return tree_.ModPath(); }
    void RefreshList();
    // Selects the demo of that name (with or without its protocol suffix); false without one.
    bool SelectItem(const QString& name);
    // The same, after a quiet rescan when the name is not in the tree: the game may have made
    // its home folder since the last scan.
    bool FindDemo(const QString& name);
    // The game's search path as it is now (the home folder may appear at any time); without
    // it a rescan reads the folders of the last SetSearchPath.
    std::function<QStringList()> searchPath;
    // Below the owner's demo button, kept on the screen.
    void SetPosition(QWidget* owner, QWidget* button);
    void ApplyLanguage();
    // Shown a moment ago: the activation a closing message gives back to the main window is
    // not the user leaving the browser.
    bool JustShown() const;

    // The stored size in twips (0: the designed size) and the size to store.
    void ApplyStoredSize(int widthTwips, int heightTwips);
    int WidthTwips() const;
    int HeightTwips() const;

    const DemoTree& Tree() const { return tree_; }
    QTreeWidget* TreeView() const { return tvwDemos_; }
    QTreeWidgetItem* Item(int node) const { return items_.value(node); }
    QMenu* NotesMenu() const { return mnuMain_; }
    // Opens a notes file; by default in the desktop's text editor.
    std::function<void(const QString& path)> openNotes;
    // The context menu's command on the selected demo.
    void mnuNotes_Click();

signals:
    void DemoSelected(const QString& name);
    void DemoListUpdated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Fill();
    void RefreshSelectedMark();
    int NodeOf(QTreeWidgetItem* item) const;

    DemoTree tree_;
    QTreeWidget* tvwDemos_;
    QMenu* mnuMain_;
    QList<QTreeWidgetItem*> items_;
    QElapsedTimer shown_;
};

// Where the browser goes: x from the button's left, y 64 pixels below its top, moved back
// inside the screen when it would leave it.
QPoint DemosPosition(QPoint buttonTopLeft, QSize window, QRect screen);

// The five pictures of the tree, by image number (1 closed folder ... 5 demo with notes).
QIcon DemoIcon(int image);

} // namespace kestrova::ui
