#pragma once
// The map-origin dialog: three offsets X, Y, Z in `txtOffsets`, validated as the user leaves
// each box.

#include "core/dialogs.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace kestrova::ui {

class FrmBspOrigin : public QDialog {
    Q_OBJECT
public:
    FrmBspOrigin(Dialogs& dialogs, QWidget* parent = nullptr);

    void SetOffsets(float x, float y, float z);
    void GetOffsets(float& x, float& y, float& z) const;
    bool Canceled() const { return canceled_; }

    QLineEdit* Box(int i) const { return boxes_[i]; }
    // Checks box i: a number is written back with two decimals and the focus goes to the next
    // box; anything else beeps and keeps the focus there with the text selected.
    bool ValidateBox(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int IndexOf(QObject* o) const;

    Dialogs& dialogs_;
    std::array<QLineEdit*, 3> boxes_{};
    std::array<QString, 3> remembered_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool canceled_ = true;
    bool validating_ = false;
};

} // namespace kestrova::ui
