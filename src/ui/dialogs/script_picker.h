#pragma once
// The script picker: lists the game's ".cfg" files under the allowed folders and lets the user
// choose several of them for one of the script lists.

#include "core/dialogs.h"
#include "core/game/game_state.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace kestrova::ui {

class FrmGameConfigs : public QDialog {
    Q_OBJECT
public:
    explicit FrmGameConfigs(QWidget* parent = nullptr);

    // The game's folders: its home folder first, then its install folder.
    void RefreshConfigs(const QStringList& rootFolders, const QStringList& allowedFolders,
                        const QStringList& preselected);
    // Under the control, kept on the screen.
    void SetPosition(QWidget* owner, QWidget* control);
    bool Canceled() const { return canceled_; }
    // The selected texts in list order; false when nothing is selected.
    bool GetSelected(QStringList& items) const;

    QListWidget* List() const { return lstConfigs_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QListWidget* lstConfigs_;
    QPushButton* cmdOk_;
    QPushButton* cmdCancel_;
    bool canceled_ = true;
};

// Where the picker goes: x from the control's left, y 32 pixels below the control's top, moved
// back inside the screen when it would leave it.
QPoint PickerPosition(QPoint controlTopLeft, QSize form, QRect screen);

// One of the lists' buttons: asks for the mod folder when it is not valid, otherwise runs the
// picker under the list's control and applies the choice. True when the list changed.
bool ChooseScripts(GameState& game, ScriptListKind kind, Dialogs& dialogs, FrmGameConfigs& picker,
                   QWidget* owner, QWidget* control);

} // namespace kestrova::ui
