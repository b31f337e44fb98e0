#pragma once
// Map > Load in a game folder: the maps its archives and maps/ folder offer, narrowed by a
// filter box, with ways out to another game folder and to the file dialog for a loose file.

#include "core/dialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrova::ui {

class MapListDialog : public QDialog {
    Q_OBJECT
public:
    explicit MapListDialog(const MapListRequest& request, QWidget* parent = nullptr);

    // What the user chose once exec() has returned.
    MapChoice Choice() const;

    QLineEdit* Filter() const { return filter_; }
    QListWidget* List() const { return list_; }
    QPushButton* BrowseButton() const { return browse_; }
    QPushButton* FolderButton() const { return folderButton_; }
    // The names the filter leaves, in order.
    QStringList VisibleMaps() const;

private:
    void ApplyFilter(const QString& text);

    QLineEdit* filter_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* folderButton_ = nullptr;
    QString folder_;
    MapChoice::Kind way_ = MapChoice::Kind::Map; // how an accept leaves
};

} // namespace kestrova::ui
