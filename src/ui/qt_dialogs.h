#pragma once
// The program's questions and messages shown with Qt's own dialogs.

#include "core/dialogs.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace kestrova::ui {

// Every file dialog of the program: Qt's own (whose listing reads names and sizes, never
// contents), starting in folder, or in the home folder instead of /proc, /sys or /dev.
void PrepareFileDialog(QFileDialog& dialog, const QString& folder);

// Widens a message box so that the window manager does not cut its title.
void MakeRoomForTitle(QMessageBox& box);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override;
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
    std::optional<QString> ChooseFolder(const QString& title, const QString& folder) override;
    void Beep() override;
    // Closes itself after autoCloseMs.
    void TimedInform(const QString& title, const QString& text, int autoCloseMs) override;
    MapChoice ChooseMap(const MapListRequest& request) override;

private:
    QWidget* owner_;
};

} // namespace kestrova::ui
