#include "ui/view/view_toolbar.h"

#include "ui/view/gl_view.h"
#include "ui/widgets/flow_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

namespace kestrova::ui {

namespace {

const char* const kViewTexts[4] = {"X-Y", "X-Z", "Y-Z", "3D"};
const char* const kToolTexts[5] = {"S", "B", "T", "Zoom", "Cam"};

bool HasPoints(const Trace& t) {
    return t.ControlCount() > 0 || t.ReferenceCount() > 0;
}

} // namespace

ViewToolBar::ViewToolBar(GlView& view, Trace& trace, QWidget* parent)
    : QWidget(parent), view_(view), trace_(trace) {
    setObjectName(QStringLiteral("viewToolBar"));
    // A narrow view wraps the groups onto a second row rather than squash the buttons.
    auto* row = new FlowLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);

    viewGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        views_[i] = MakeButton(QStringLiteral("optViews%1").arg(i),
                               QString::fromLatin1(kViewTexts[i]), true);
        viewGroup_->addButton(views_[i], i);
        row->addWidget(views_[i]);
    }
    views_[0]->setChecked(true);
    connect(viewGroup_, &QButtonGroup::idClicked, this, [this](int i) {
        view_.SelectView(i);
        UpdateToolButtons();
        view_.setFocus();
    });
    row->addGroupGap(10);

    toolGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        tools_[i] = MakeButton(QStringLiteral("optTools%1").arg(i),
                               QString::fromLatin1(kToolTexts[i]), true);
        toolGroup_->addButton(tools_[i], i);
        tools_[i]->installEventFilter(this);
        row->addWidget(tools_[i]);
    }
    connect(toolGroup_, &QButtonGroup::idClicked, this, [this](int i) {
        ChooseTool(i);
        view_.setFocus();
    });
    row->addGroupGap(10);

    presetGroup_ = new QButtonGroup(this);
    presetMenu_ = new QMenu(this);
    presetMenu_->setObjectName(QStringLiteral("mnuViewPreset"));
    QAction* save = presetMenu_->addAction(QStringLiteral("&Save"));
    save->setObjectName(QStringLiteral("mnuVP_Save"));
    QAction* clear = presetMenu_->addAction(QStringLiteral("&Clear"));
    clear->setObjectName(QStringLiteral("mnuVP_Clear"));
    connect(save, &QAction::triggered, this, [this] { SavePreset(menuSlot_); });
    connect(clear, &QAction::triggered, this, [this] { ClearPreset(menuSlot_); });
    for (int i = 0; i < 12; ++i) {
        presets_[i] =
            MakeButton(QStringLiteral("optViewPreset%1").arg(i), QString::number(i + 1), true);
        presets_[i]->setProperty("Tag", i);
        presets_[i]->setContextMenuPolicy(Qt::CustomContextMenu);
        presetGroup_->addButton(presets_[i], i);
        connect(presets_[i], &QWidget::customContextMenuRequested, this, [this, i] {
            menuSlot_ = i;
            presetMenu_->popup(presets_[i]->mapToGlobal(QPoint(0, presets_[i]->height())));
        });
        row->addWidget(presets_[i]);
    }
    // An empty slot only gives the view the focus and keeps the selection where it was.
    presetGroup_->setExclusive(false);
    connect(presetGroup_, &QButtonGroup::idClicked, this, [this](int i) {
        const bool used = view_.Navigator().Views().presets[i].viewMode >= 1;
        for (int k = 0; k < 12; ++k)
            presets_[k]->setChecked(used ? k == i : presets_[k]->isChecked() && k != i);
        view_.ApplyPreset(i);
        if (used) {
            ShowView(view_.Navigator().ActiveView());
            UpdateToolButtons();
        }
    });
    row->addGroupGap(10);

    keep4by3_ = new QCheckBox(QStringLiteral("4:3"), this);
    keep4by3_->setObjectName(QStringLiteral("chkView3D4_3"));
    keep4by3_->setEnabled(false);
    connect(keep4by3_, &QCheckBox::toggled, this, [this] {
        emit LayoutRequested();
        view_.setFocus();
    });
    row->addWidget(keep4by3_);

    RefreshPresetButtons();
    UpdateToolButtons();
}

QToolButton* ViewToolBar::MakeButton(const QString& name, const QString& text, bool checkable) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(text);
    b->setCheckable(checkable);
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(22);
    return b;
}

void ViewToolBar::ShowView(int view) {
    if (view >= 0 && view < 4)
        views_[view]->setChecked(true);
    keep4by3_->setEnabled(view == 3);
}

void ViewToolBar::UpdateToolButtons() {
    const bool is3D = view_.Navigator().Is3D();
    const bool points = HasPoints(trace_);
    tools_[kToolSelect]->setEnabled(!is3D && points);
    tools_[kToolPoints]->setEnabled(!is3D);
    tools_[kToolTangents]->setEnabled(!is3D && trace_.ControlCount() > 0);
    tools_[kToolZoom]->setEnabled(!is3D);
    tools_[kTool3D]->setEnabled(is3D);
    keep4by3_->setEnabled(is3D);
    int tool = is3D ? tool3D_ : planTool_;
    if (!tools_[tool]->isEnabled())
        tool = kToolPoints;
    tools_[tool]->setChecked(true);
    view_.SetTool(tool);
}

void ViewToolBar::ChooseTool(int tool) {
    if (tool < 0 || tool > 4 || !tools_[tool]->isEnabled())
        return;
    if (tool == kTool3D)
        tool3D_ = tool;
    else
        planTool_ = tool;
    tools_[tool]->setChecked(true);
    view_.SetTool(tool);
    if (tool == kToolTangents)
        emit TangentToolChosen();
}

void ViewToolBar::RefreshPresetButtons() {
    const auto& slotList = view_.Navigator().Views().presets;
    for (int i = 0; i < 12; ++i) {
        const bool used = slotList[i].viewMode >= 1;
        QFont f = presets_[i]->font();
        f.setBold(used);
        presets_[i]->setFont(f);
        QPalette pal = presets_[i]->palette();
        pal.setColor(QPalette::ButtonText,
                     used ? QColor(0, 128, 0)
                          : palette().color(QPalette::Disabled, QPalette::WindowText));
        presets_[i]->setPalette(pal);
        if (!used)
            presets_[i]->setChecked(false);
    }
}

void ViewToolBar::SavePreset(int slot) {
    if (slot < 0 || slot >= 12)
        return;
    view_.Navigator().SavePreset(slot);
    for (int k = 0; k < 12; ++k)
        presets_[k]->setChecked(k == slot);
    trace_.modified = true;
    RefreshPresetButtons();
    emit TraceModified();
}

void ViewToolBar::ClearPreset(int slot) {
    if (slot < 0 || slot >= 12)
        return;
    view_.Navigator().ClearPreset(slot);
    trace_.modified = true;
    RefreshPresetButtons();
    emit TraceModified();
}

bool ViewToolBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == tools_[kToolTangents] && tools_[kToolTangents]->isEnabled()) {
            ChooseTool(kToolTangents);
            view_.ResetAllTangents();
            view_.setFocus();
            return true;
        }
        if (watched == tools_[kToolZoom] && tools_[kToolZoom]->isEnabled()) {
            ChooseTool(kToolZoom);
            view_.FitAll();
            view_.setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrova::ui
