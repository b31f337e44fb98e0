#include "ui/map/map_list_dialog.h"

#include "core/settings/language.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrova::ui {

MapListDialog::MapListDialog(const MapListRequest& request, QWidget* parent)
    : QDialog(parent), folder_(request.folder) {
    setObjectName(QStringLiteral("FrmMapList"));
    setWindowTitle(QStringLiteral(" ") + request.title);
    auto* layout = new QVBoxLayout(this);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(fStr(720), this);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txtMapFilter"));
    filter_->setClearButtonEnabled(true);
    filterLabel->setBuddy(filter_);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_, 1);
    layout->addLayout(filterRow);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstMaps"));
    list_->addItems(request.maps);
    layout->addWidget(list_, 1);
    count_ = new QLabel(this);
    count_->setWordWrap(true);
    layout->addWidget(count_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    browse_ = buttons->addButton(fStr(721), QDialogButtonBox::ActionRole);
    browse_->setObjectName(QStringLiteral("cmdLooseMap"));
    folderButton_ = buttons->addButton(fStr(724), QDialogButtonBox::ActionRole);
    folderButton_->setObjectName(QStringLiteral("cmdMapFolder"));
    layout->addWidget(buttons);
    resize(420, 480);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (auto [button, way] : {std::pair{browse_, MapChoice::Kind::Browse},
                               std::pair{folderButton_, MapChoice::Kind::Folder}})
        connect(button, &QPushButton::clicked, this, [this, way = way] {
            way_ = way;
            accept();
        });
    connect(list_, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(list_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { ok_->setEnabled(item && !item->isHidden()); });
    connect(filter_, &QLineEdit::textChanged, this, &MapListDialog::ApplyFilter);

    ApplyFilter({});
    const auto current = list_->findItems(request.current, Qt::MatchFixedString);
    if (!current.isEmpty())
        list_->setCurrentItem(current.first());
    filter_->setFocus();
}

void MapListDialog::ApplyFilter(const QString& text) {
    const QString needle = text.trimmed();
    QListWidgetItem* first = nullptr;
    int shown = 0;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        const bool match = item->text().contains(needle, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && !first)
            first = item;
        shown += match;
    }
    // Enter in the filter box takes the first match, so typing a name and Enter loads it.
    QListWidgetItem* current = list_->currentItem();
    if (!current || current->isHidden())
        list_->setCurrentItem(first);
    ok_->setEnabled(list_->currentItem() && !list_->currentItem()->isHidden());
    count_->setText(fStrCount(723, 722, shown, folder_));
}

QStringList MapListDialog::VisibleMaps() const {
    QStringList names;
    for (int i = 0; i < list_->count(); ++i)
        if (!list_->item(i)->isHidden())
            names << list_->item(i)->text();
    return names;
}

MapChoice MapListDialog::Choice() const {
    if (result() != QDialog::Accepted)
        return {};
    if (way_ != MapChoice::Kind::Map)
        return {way_, {}};
    const QListWidgetItem* item = list_->currentItem();
    if (!item || item->isHidden())
        return {};
    return {MapChoice::Kind::Map, item->text()};
}

} // namespace kestrova::ui
