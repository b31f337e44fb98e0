#pragma once
// The export dialog: the format (3DS Max exchange file or the camera file of compositing tools)
// and, for the former, how many animation frames the exported path has. Created once and kept,
// so it shows the last format again.

#include <QDialog>
#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrova::ui {

class FrmExport : public QDialog {
    Q_OBJECT
public:
    explicit FrmExport(QWidget* parent = nullptr);

    // Shows the dialog modally with the trace's own point count proposed: the frames text on
    // Ok, nothing on Cancel, Escape or the close box.
    std::optional<QString> Ask(int32_t pointCount);
    int ExportTo() const { return exportTo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* txtAnimationFrames_;
    QRadioButton* optExportTo_;
    QRadioButton* optExportCam_;
    QPushButton* cmdValid_;
    QPushButton* cmdCancel_;
    int exportTo_ = 0;
};

} // namespace kestrova::ui
