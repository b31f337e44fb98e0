#include "ui/dialogs/script_picker.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kestrova::ui {

FrmGameConfigs::FrmGameConfigs(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmGameConfigs"));
    setWindowTitle(QStringLiteral(" Scripts"));
    setModal(true);
    lstConfigs_ = new QListWidget(this);
    lstConfigs_->setObjectName(QStringLiteral("lstConfigs"));
    lstConfigs_->setSelectionMode(QAbstractItemView::MultiSelection);
    cmdOk_ = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdOk_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstConfigs_, 1);
    layout->addLayout(buttons);
    resize(360, 300);

    connect(cmdOk_, &QPushButton::clicked, this, [this] {
        canceled_ = false;
        hide();
        done(Accepted);
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        canceled_ = true;
        hide();
        done(Rejected);
    });
}

void FrmGameConfigs::RefreshConfigs(const QStringList& rootFolders,
                                    const QStringList& allowedFolders,
                                    const QStringList& preselected) {
    canceled_ = true;
    lstConfigs_->hide();
    lstConfigs_->clear();
    const ScriptPickerListing listing =
        kestrova::RefreshConfigs(rootFolders, allowedFolders, preselected);
    for (qsizetype i = 0; i < listing.items.size(); ++i) {
        auto* item = new QListWidgetItem(listing.items[i], lstConfigs_);
        item->setSelected(listing.selected.value(i));
    }
    // A walk cut short says so where the list is read.
    lstConfigs_->setToolTip(listing.notices.join(QLatin1Char('\n')));
    lstConfigs_->show();
}

QPoint PickerPosition(QPoint controlTopLeft, QSize form, QRect screen) {
    // 480 twips below the control's top.
    QPoint p(controlTopLeft.x(), controlTopLeft.y() + 32);
    if (p.x() + form.width() > screen.right() + 1)
        p.setX(screen.right() + 1 - form.width());
    if (p.y() + form.height() > screen.bottom() + 1)
        p.setY(screen.bottom() + 1 - form.height());
    return p;
}

void FrmGameConfigs::SetPosition(QWidget* owner, QWidget* control) {
    QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QPoint at = control ? control->mapToGlobal(QPoint(0, 0)) : QPoint();
    move(PickerPosition(at, frameGeometry().size(), screen->geometry()));
}

bool FrmGameConfigs::GetSelected(QStringList& items) const {
    items.clear();
    for (int i = 0; i < lstConfigs_->count(); ++i) {
        if (lstConfigs_->item(i)->isSelected())
            items.append(lstConfigs_->item(i)->text());
    }
    return !items.isEmpty();
}

void FrmGameConfigs::closeEvent(QCloseEvent* event) {
    // The close box only hides the form, so the caller can still read it.
    canceled_ = true;
    event->ignore();
    hide();
    done(Rejected);
}

void FrmGameConfigs::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        canceled_ = true;
        hide();
        done(Rejected);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ChooseScripts(GameState& game, ScriptListKind kind, Dialogs& dialogs, FrmGameConfigs& picker,
                   QWidget* owner, QWidget* control) {
    const std::optional<ScriptPickerRequest> request = PrepareChooseScripts(game, kind, dialogs);
    if (!request)
        return false;
    picker.RefreshConfigs(request->roots.isEmpty() ? QStringList{request->gameFolder}
                                                   : request->roots,
                          request->allowedFolders, request->preselected);
    picker.SetPosition(owner, control);
    picker.exec();
    if (picker.Canceled())
        return false;
    QStringList chosen;
    picker.GetSelected(chosen);
    ApplyChosenScripts(game, kind, chosen);
    return true;
}

} // namespace kestrova::ui
