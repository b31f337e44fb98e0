#pragma once
// The export dialog: how many animation frames the exported path has, and the target program.
// Created once and kept, so it shows the last values again.

#include <QDialog>
#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrova::ui {

class FrmExport : public QDialog {
    Q_OBJECT
public:
    explicit FrmExport(QWidget* parent = nullptr);

    // Shows the dialog modally: the frames text on Ok, nothing on Cancel, Escape or the close box.
    std::optional<QString> Ask();
    int ExportTo() const { return exportTo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* txtAnimationFrames_;
    QRadioButton* optExportTo_;
    QPushButton* cmdValid_;
    QPushButton* cmdCancel_;
    int exportTo_ = 0;
};

} // namespace kestrova::ui
