#include "ui/qt_dialogs.h"

#include "core/files/file_access.h"
#include "ui/map/map_list_dialog.h"
#include "ui/widgets/busy_pointer.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeDatabase>
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

// Icons and types from the name alone. Qt's own provider, and the desktop's dialogs, ask the
// file's content when its name says nothing, and reading /proc/kmsg never ends.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir())
            return icon(Folder);
        const QIcon themed = QIcon::fromTheme(MimeType(info).iconName());
        return themed.isNull() ? icon(File) : themed;
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QFileIconProvider::type(info); // "Folder", without reading anything
        const QMimeType mime = MimeType(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType MimeType(const QFileInfo& info) const {
        return mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
    QMimeDatabase mimes_;
};

} // namespace

void PrepareFileDialog(QFileDialog& dialog, const QString& folder) {
    static NameOnlyIconProvider provider;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    dialog.setIconProvider(&provider);
    // Always a folder of ours: given none, Qt would go back to the last one visited, in this
    // run or a former one, even inside /proc.
    dialog.setDirectory(SafeDialogFolder(folder));
}

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
    QFileDialog dialog(owner_, r.title, QString(), r.filter);
    PrepareFileDialog(dialog, r.folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::SaveFile(const FileDialogRequest& r) {
    const NormalPointer pointer;
    QFileDialog dialog(owner_, r.title, QString(), r.filter);
    PrepareFileDialog(dialog, r.folder);
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
    QFileDialog dialog(owner_, title);
    PrepareFileDialog(dialog, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
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
