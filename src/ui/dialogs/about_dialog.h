#pragma once
// The About window, FrmAbout: the program's name, version and release date, shown
// as a splash screen at start-up and from the Help menu.

#include <QDate>
#include <QDialog>

class QTimer;

namespace kestrova::ui {

// The modification date of the program's executable, read once.
QDate ReleaseDate();

// The About window: the program's name, version and release date. At start-up it is a splash
// screen that closes itself; from the Help menu a modal window.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* owner);

    static constexpr int kSplashMs = 2500;
    void ShowSplash();
    void ShowModeless();
    void ShowModal();
    bool IsSplash() const { return splash_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTimer* timer_;
    bool splash_ = false;
};

} // namespace kestrova::ui
