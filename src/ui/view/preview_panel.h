#pragma once
// The 3D panel `fra3DView` under the view: the preview lock `chkPreviewLock`, the buttons
// `cmdPreview` 0, 1, 2, 5, 6, 7 and `cmdPvwStartStop`, the time `lbl3dvTime` and the box
// `chk3dvAutoSelectPoint`. It binds them to the preview machine, plays it from a precise timer
// of the event loop, and takes the 3D view's keys and mouse while the lock is on.

#include "core/view/preview.h"
#include "ui/view/gl_view.h"

#include <QFrame>
#include <QPointer>
#include <QTimer>
#include <array>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QToolButton;

namespace kestrova::ui {

class FrmMain;

class PreviewPanel : public QFrame, public PreviewInput {
    Q_OBJECT
public:
    PreviewPanel(FrmMain& window, GlView& view, QWidget* parent = nullptr);
    ~PreviewPanel() override;

    PathPreview& Preview() { return preview_; }
    QCheckBox* LockBox() const { return lock_; }
    QToolButton* StartStop() const { return startStop_; }
    // Button of command k (0..7; 3 and 4 are the start/stop button).
    QToolButton* Button(int command) const;
    QLabel* TimeLabel() const { return time_; }

    // The auto-select box is shown only while the points table is.
    void SetTableShown(bool shown);
    // Stops a running playback (menus, the close, a click in a table).
    void StopPlaying();
    void SetLocked(bool locked);
    // Locks the preview if it can and shows path point index.
    void GoToPathIndex(int32_t index);

    // PreviewInput
    bool PreviewLocked() const override { return preview_.Locked(); }
    bool PreviewPlaying() const override { return preview_.Playing(); }
    bool PreviewKey(QKeyEvent* event) override;
    void PreviewTurn(double dx, double dy, Qt::KeyboardModifiers m, bool roll) override;
    void PreviewShift(double dx, double dy, float panSpeed) override;
    void PreviewWheel(float v) override;
    void PreviewFov(float fov) override;
    void PreviewEditEnded() override;

signals:
    // The lock is off and the controls it held are back: states that changed meanwhile follow.
    void Unlocked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Send(int command);
    void Apply(const PreviewEffect& e);
    void RefreshButtons();
    void ShowPlaying(bool playing);
    void OnLockToggled(bool on);
    void AfterEdit();
    void FollowTrace();
    void DisableEditing();
    void RestoreEditing();
    void UpdateAutoSelect();

    FrmMain& window_;
    GlView& view_;
    ElapsedPreviewClock clock_;
    PathPreview preview_;
    QTimer playTimer_;
    // A wheel turn through the lock is one step, recorded when the wheel rests.
    QTimer wheelRest_;
    QCheckBox* lock_ = nullptr;
    std::array<QToolButton*, 8> buttons_{}; // 3 and 4 unused: the start/stop button
    QToolButton* startStop_ = nullptr;
    QLabel* time_ = nullptr;
    QCheckBox* autoSelect_ = nullptr;
    bool tableShown_ = true;
    // Controls disabled by the lock and the state each had before.
    std::vector<std::pair<QPointer<QWidget>, bool>> disabled_;
};

} // namespace kestrova::ui
