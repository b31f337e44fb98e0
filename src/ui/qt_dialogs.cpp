#include "ui/qt_dialogs.h"

#include "ui/busy_pointer.h"
#include "ui/map/map_list_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QTimer>

namespace kestrova::ui {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QString StartPath(const FileDialogRequest& r) {
    if (r.fileName.isEmpty())
        return r.folder;
    return r.folder.isEmpty() ? r.fileName : QDir(r.folder).filePath(r.fileName);
}

} // namespace

void MakeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    // The title bar's face is usually bold and its buttons take room of their own.
    QFont bold = box.font();
    bold.setBold(true);
    constexpr int kTitleBarButtons = 140;
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

DialogAnswer QtDialogs::Message(const QString& title, const QString& text, MessageIcon icon,
                                MessageButtons buttons) {
    const NormalPointer pointer;
    // The program's message titles start with one blank.
    QMessageBox box(ToQt(icon), QStringLiteral(" ") + title, text, ToQt(buttons), owner_);
    box.setWindowModality(Qt::ApplicationModal);
    MakeRoomForTitle(box);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return DialogAnswer::Ok;
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    case QMessageBox::Retry:
        return DialogAnswer::Retry;
    default:
        return DialogAnswer::Cancel;
    }
}

std::optional<QString> QtDialogs::OpenFile(const FileDialogRequest& r) {
    const NormalPointer pointer;
    const QString path = QFileDialog::getOpenFileName(owner_, r.title, StartPath(r), r.filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::SaveFile(const FileDialogRequest& r) {
    const NormalPointer pointer;
    QFileDialog dialog(owner_, r.title, r.folder, r.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks itself before replacing a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!r.extension.isEmpty())
        dialog.setDefaultSuffix(r.extension);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::ChooseFolder(const QString& title, const QString& folder) {
    const NormalPointer pointer;
    const QString path = QFileDialog::getExistingDirectory(owner_, title, folder);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void QtDialogs::TimedInform(const QString& title, const QString& text, int autoCloseMs) {
    const NormalPointer pointer;
    QMessageBox box(QMessageBox::Information, QStringLiteral(" ") + title, text, QMessageBox::Ok,
                    owner_);
    box.setWindowModality(Qt::ApplicationModal);
    MakeRoomForTitle(box);
    QTimer::singleShot(autoCloseMs, &box, &QMessageBox::accept);
    box.exec();
}

MapChoice QtDialogs::ChooseMap(const MapListRequest& request) {
    const NormalPointer pointer;
    MapListDialog dialog(request, owner_);
    dialog.exec();
    return dialog.Choice();
}

void QtDialogs::Beep() {
    QApplication::beep();
}

} // namespace kestrova::ui
