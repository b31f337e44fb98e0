#include "ui/view/preview_panel.h"

#include "ui/widgets/flow_layout.h"

#include "core/files/document.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/points_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTabWidget>
#include <QToolButton>

namespace kestrova::ui {

namespace {

constexpr int kWheelRestMs = 400;

const char* const kButtonTexts[8] = {"|<", "<<", "<", "", "", ">", ">>", ">|"};

// The start/stop button's two pictures.
QIcon PlayStopIcon(bool stop) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (stop) {
        p.setBrush(QColor(170, 30, 30));
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
    } else {
        p.setBrush(QColor(20, 130, 40));
        QPainterPath tri;
        tri.moveTo(4, 2.5);
        tri.lineTo(13.5, 8);
        tri.lineTo(4, 13.5);
        tri.closeSubpath();
        p.drawPath(tri);
    }
    return QIcon(pm);
}

PreviewKey KeyOf(int key) {
    switch (key) {
    case Qt::Key_Up:
        return PreviewKey::Up;
    case Qt::Key_Down:
        return PreviewKey::Down;
    case Qt::Key_Left:
        return PreviewKey::Left;
    case Qt::Key_Right:
        return PreviewKey::Right;
    case Qt::Key_Space:
        return PreviewKey::Space;
    case Qt::Key_Escape:
        return PreviewKey::Escape;
    case Qt::Key_L:
        return PreviewKey::L;
    default:
        return PreviewKey::Other;
    }
}

// The menu items that must not run while the flight plays.
std::vector<QAction*> PlayLockedItems(FrmMain& window) {
    std::vector<QAction*> items;
    if (QAction* a = window.Action(QStringLiteral("mnuV_Refresh")))
        items.push_back(a);
    for (const char* name : {"mnuMap", "mnuV_Language"})
        if (auto* m = window.findChild<QMenu*>(QString::fromLatin1(name)))
            items.push_back(m->menuAction());
    return items;
}

// Enabled by its own flag, whatever its parents are.
bool OwnEnabled(const QWidget* w) {
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

} // namespace

PreviewPanel::PreviewPanel(FrmMain& window, GlView& view, QWidget* parent)
    : QFrame(parent), window_(window), view_(view),
      preview_(window.CurrentTrace(), window.Views().camera, clock_), playTimer_(this),
      wheelRest_(this) {
    setObjectName(QStringLiteral("fra3DView"));
    // Its groups wrap onto a second row when the view beside the tables is narrow.
    auto* row = new FlowLayout(this, 2);
    row->setContentsMargins(2, 1, 2, 1);

    lock_ = new QCheckBox(QStringLiteral("Lock"), this);
    lock_->setObjectName(QStringLiteral("chkPreviewLock"));
    lock_->setFocusPolicy(Qt::NoFocus);
    lock_->setAutoFillBackground(true);
    lock_->setEnabled(false);
    row->addWidget(lock_);
    row->addGroupGap(6);
    connect(lock_, &QCheckBox::toggled, this, &PreviewPanel::OnLockToggled);

    for (int k = 0; k < 8; ++k) {
        auto* b = new QToolButton(this);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(28);
        if (k == kPvwPlay) {
            b->setObjectName(QStringLiteral("cmdPvwStartStop"));
            b->setIconSize(QSize(16, 16));
            startStop_ = b;
            connect(b, &QToolButton::clicked, this,
                    [this] { Send(preview_.Playing() ? kPvwStop : kPvwPlay); });
        } else if (k == kPvwStop) {
            delete b;
            continue;
        } else {
            b->setObjectName(QStringLiteral("cmdPreview%1").arg(k));
            b->setText(QString::fromLatin1(kButtonTexts[k]));
            buttons_[k] = b;
            connect(b, &QToolButton::clicked, this, [this, k] { Send(k); });
        }
        row->addWidget(b);
    }
    ShowPlaying(false);
    row->addGroupGap(8);

    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("lbl3dvTime"));
    time_->setMinimumWidth(90);
    row->addWidget(time_);
    row->addGroupGap(8);

    autoSelect_ = new QCheckBox(QStringLiteral("Auto-select point"), this);
    autoSelect_->setObjectName(QStringLiteral("chk3dvAutoSelectPoint"));
    autoSelect_->setFocusPolicy(Qt::NoFocus);
    autoSelect_->setChecked(true);
    row->addWidget(autoSelect_);

    // Each turn of the event loop shows the frames due since the start; a slow redraw makes
    // the next step longer instead of the flight slower.
    playTimer_.setObjectName(QStringLiteral("tmrPreviewPlay"));
    playTimer_.setTimerType(Qt::PreciseTimer);
    playTimer_.setInterval(1);
    connect(&playTimer_, &QTimer::timeout, this, [this] {
        UpdateAutoSelect();
        Apply(preview_.Tick());
    });

    wheelRest_.setSingleShot(true);
    wheelRest_.setInterval(kWheelRestMs);
    connect(&wheelRest_, &QTimer::timeout, this, &PreviewPanel::PreviewEditEnded);

    view_.SetPreviewInput(this);
    for (int kind : {kControl, kReference})
        if (PointsGrid* g = window_.Grid(kind))
            g->viewport()->installEventFilter(this);
    connect(&window_, &FrmMain::TraceChanged, this, &PreviewPanel::FollowTrace);
    window_.stopPreview = [this] { StopPlaying(); };
    window_.leavePreview = [this] { SetLocked(false); };
    RefreshButtons();
}

// The window and the view go first (the window clears its hooks; the view is an older child).
PreviewPanel::~PreviewPanel() = default;

QToolButton* PreviewPanel::Button(int command) const {
    if (command == kPvwPlay || command == kPvwStop)
        return startStop_;
    return command >= 0 && command < 8 ? buttons_[command] : nullptr;
}

void PreviewPanel::SetTableShown(bool shown) {
    tableShown_ = shown;
    autoSelect_->setVisible(shown);
}

void PreviewPanel::UpdateAutoSelect() {
    preview_.autoSelect = autoSelect_->isChecked() && tableShown_;
}

void PreviewPanel::StopPlaying() {
    if (preview_.Playing())
        Apply(preview_.Command(kPvwStop));
}

void PreviewPanel::SetLocked(bool locked) {
    if (lock_->isChecked() != locked)
        lock_->setChecked(locked);
}

void PreviewPanel::GoToPathIndex(int32_t index) {
    if (!preview_.Locked())
        SetLocked(true);
    if (!preview_.Locked())
        return;
    UpdateAutoSelect();
    Apply(preview_.GoTo(index));
}

void PreviewPanel::Send(int command) {
    UpdateAutoSelect();
    Apply(preview_.Command(command));
    view_.setFocus();
}

void PreviewPanel::OnLockToggled(bool on) {
    UpdateAutoSelect();
    if (on) {
        const PreviewEffect e = preview_.Lock();
        if (e.unlocked) {
            // Fewer than two control points: the box unticks itself.
            QSignalBlocker block(lock_);
            lock_->setChecked(false);
            return;
        }
        lock_->setStyleSheet(QStringLiteral("QCheckBox { background-color: rgb(255, 0, 0); }"));
        view_.Navigator().previewLock = true;
        window_.Doc().previewLocked = true;
        view_.setCursor(Qt::CrossCursor);
        if (PointsGrid* g = window_.Grid(kControl))
            g->SetKeysLocked(true);
        DisableEditing();
        Apply(e);
    } else {
        PreviewEditEnded();
        lock_->setStyleSheet(QString());
        Apply(preview_.Unlock());
        view_.Navigator().previewLock = false;
        window_.Doc().previewLocked = false;
        view_.unsetCursor();
        if (PointsGrid* g = window_.Grid(kControl))
            g->SetKeysLocked(false);
        time_->clear();
        RestoreEditing();
        emit Unlocked();
    }
    view_.setFocus();
}

void PreviewPanel::Apply(const PreviewEffect& e) {
    if (e.started)
        ShowPlaying(true);
    if (e.stopped)
        ShowPlaying(false);
    if (e.timeCaption)
        time_->setText(preview_.TimeCaption());
    if (e.selectRow) {
        if (PointsGrid* g = window_.Grid(kControl)) {
            const int row = preview_.PointIndex();
            g->SetSelection({row, row, 1, g->columnCount() - 1});
            if (row >= 1 && row <= g->rowCount())
                g->scrollTo(g->model()->index(row - 1, 0));
        }
    }
    if (e.camera)
        view_.Redraw();
    if (e.unlocked)
        SetLocked(false);
    RefreshButtons();
}

void PreviewPanel::ShowPlaying(bool playing) {
    startStop_->setIcon(PlayStopIcon(playing));
    startStop_->setProperty("Picture", playing ? QStringLiteral("IDB_PVWSTOP")
                                               : QStringLiteral("IDB_PVWPLAY"));
    for (QAction* a : PlayLockedItems(window_))
        a->setEnabled(!playing);
    window_.SetPreviewRunning(playing);
    if (playing)
        playTimer_.start();
    else
        playTimer_.stop();
}

void PreviewPanel::RefreshButtons() {
    const PreviewButtons b = preview_.Buttons();
    for (int k :
         {kPvwFirst, kPvwPreviousPoint, kPvwPreviousFrame, kPvwNextFrame, kPvwNextPoint, kPvwLast})
        buttons_[k]->setEnabled(b.Enabled(k));
    startStop_->setEnabled(b.startStop);
}

bool PreviewPanel::PreviewKey(QKeyEvent* event) {
    const kestrova::PreviewKey key = KeyOf(event->key());
    if (key == kestrova::PreviewKey::Other)
        return false;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const PreviewKeyAction a = preview_.Key(key, shift);
    if (!a.handled)
        return false;
    // Held arrows step on; a held toggle must not flicker.
    const bool toggle = key == kestrova::PreviewKey::L || key == kestrova::PreviewKey::Space;
    if (event->isAutoRepeat() && toggle)
        return true;
    if (a.lockTo >= 0) {
        if (a.lockTo == 0 || lock_->isEnabled())
            SetLocked(a.lockTo == 1);
    } else if (a.command >= 0) {
        UpdateAutoSelect();
        Apply(preview_.Command(a.command));
    }
    return true;
}

void PreviewPanel::PreviewTurn(double dx, double dy, Qt::KeyboardModifiers m, bool roll) {
    const TurnModifiers t{m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
                          m.testFlag(Qt::AltModifier)};
    if (preview_.Turn(dx, dy, t, roll))
        AfterEdit();
}

void PreviewPanel::PreviewShift(double dx, double dy, float panSpeed) {
    if (preview_.Shift(dx, dy, panSpeed))
        AfterEdit();
}

void PreviewPanel::PreviewWheel(float v) {
    if (preview_.Wheel(v)) {
        AfterEdit();
        wheelRest_.start();
    }
}

void PreviewPanel::PreviewFov(float fov) {
    if (preview_.SetFov(fov))
        AfterEdit();
}

void PreviewPanel::PreviewEditEnded() {
    wheelRest_.stop();
    if (!FinishPendingEdit(window_.Doc()))
        return;
    window_.ApplyCommandStates();
    window_.UpdateTitle();
}

void PreviewPanel::AfterEdit() {
    // The step is recorded when the gesture ends; an undo meanwhile records it first.
    MarkPendingEdit(window_.Doc().undo, window_.CurrentTrace());
    if (PointsGrid* g = window_.Grid(kControl))
        g->WriteGridRow(preview_.PointIndex());
    time_->setText(preview_.TimeCaption());
    view_.Redraw();
    window_.UpdateTitle();
}

void PreviewPanel::FollowTrace() {
    preview_.MarkPathDirty();
    preview_.SetFrameRate(window_.CurrentTrace().counts.frameRate);
    // Fewer than two control points: the lock box is disabled and unticks itself.
    if (!lock_->isEnabled() && lock_->isChecked()) {
        SetLocked(false);
        return;
    }
    if (!preview_.Locked())
        return;
    // The command states may have enabled a control the lock holds disabled.
    for (auto& [widget, former] : disabled_) {
        if (widget && OwnEnabled(widget)) {
            former = true;
            widget->setEnabled(false);
        }
    }
    time_->setText(preview_.TimeCaption());
    RefreshButtons();
}

void PreviewPanel::DisableEditing() {
    RestoreEditing();
    std::vector<QWidget*> targets;
    auto add = [&](QWidget* w) {
        if (w)
            targets.push_back(w);
    };
    // The editing frames: the calculation tab, the point count, the tools and views above the
    // view with the 3D presets, and the point conversion buttons.
    if (auto* tabs = window_.findChild<QTabWidget*>(QStringLiteral("tabTools")))
        add(tabs->widget(0));
    add(window_.findChild<QWidget*>(QStringLiteral("fraS_CurveSpeed")));
    add(window_.findChild<QWidget*>(QStringLiteral("fra3DViewPreset")));
    for (QAbstractButton* b : window_.findChildren<QAbstractButton*>()) {
        const QString name = b->objectName();
        if (name.startsWith(QLatin1String("optTools")) ||
            name.startsWith(QLatin1String("optViews")) ||
            name.startsWith(QLatin1String("optViewPreset")) ||
            name.startsWith(QLatin1String("cmdConvPoints")))
            add(b);
    }
    // The widget's own state: a button inside a page disabled just before reads as disabled.
    for (QWidget* w : targets) {
        disabled_.emplace_back(w, OwnEnabled(w));
        w->setEnabled(false);
    }
}

void PreviewPanel::RestoreEditing() {
    for (auto& [widget, former] : disabled_)
        if (widget)
            widget->setEnabled(former);
    disabled_.clear();
}

bool PreviewPanel::eventFilter(QObject* watched, QEvent* event) {
    // A click in a table stops the flight, unless Ctrl alone is held.
    if (event->type() == QEvent::MouseButtonPress && preview_.Playing()) {
        const auto* me = static_cast<QMouseEvent*>(event);
        const Qt::KeyboardModifiers m =
            me->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (m != Qt::ControlModifier)
            StopPlaying();
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kestrova::ui
