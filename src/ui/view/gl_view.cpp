#include "ui/view/gl_view.h"

#include "core/model/point_table_ops.h"
#include "core/numbers.h"
#include "core/settings/language.h"
#include "ui/map/bsp_map_component.h"

#include <algorithm>

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

namespace kestrova::ui {

namespace {

NavModifiers ModifiersOf(Qt::KeyboardModifiers m) {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

NavKey KeyOf(const QKeyEvent* e) {
    const bool keypad = e->modifiers().testFlag(Qt::KeypadModifier);
    switch (e->key()) {
    case Qt::Key_Up:
        return NavKey::Up;
    case Qt::Key_Down:
        return NavKey::Down;
    case Qt::Key_Left:
        return NavKey::Left;
    case Qt::Key_Right:
        return NavKey::Right;
    case Qt::Key_F:
        return NavKey::F;
    case Qt::Key_Z:
        return NavKey::Z;
    case Qt::Key_R:
        return NavKey::R;
    case Qt::Key_Insert:
        return NavKey::Insert;
    case Qt::Key_Plus:
        return keypad ? NavKey::KeypadPlus : NavKey::Other;
    case Qt::Key_Minus:
        return keypad ? NavKey::KeypadMinus : NavKey::Other;
    default:
        return NavKey::Other;
    }
}

// A cross-hair with a small sign beside it: add (+), delete (-), insert (+ in a ring).
QCursor BadgeCursor(QChar sign, const QColor& colour, bool ring) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (const auto& [pen, width] : {std::pair{QColor(Qt::white), 3}, {QColor(Qt::black), 1}}) {
        p.setPen(QPen(pen, width));
        p.drawLine(8, 0, 8, 6);
        p.drawLine(8, 10, 8, 16);
        p.drawLine(0, 8, 6, 8);
        p.drawLine(10, 8, 16, 8);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 2));
    if (ring)
        p.drawEllipse(QRectF(15, 15, 14, 14));
    p.drawLine(QPointF(18, 22), QPointF(26, 22));
    if (sign == QLatin1Char('+'))
        p.drawLine(QPointF(22, 18), QPointF(22, 26));
    p.end();
    return QCursor(pm, 8, 8);
}

QCursor CursorFor(ToolPointer pointer) {
    switch (pointer) {
    case ToolPointer::Select:
        return Qt::CrossCursor;
    case ToolPointer::MoveSelection:
        return Qt::DragMoveCursor;
    case ToolPointer::Add: {
        static const QCursor add = BadgeCursor(QLatin1Char('+'), QColor(0, 120, 0), false);
        return add;
    }
    case ToolPointer::NoAdd:
        return Qt::ForbiddenCursor;
    case ToolPointer::Move:
        return Qt::SizeAllCursor;
    case ToolPointer::Delete: {
        static const QCursor del = BadgeCursor(QLatin1Char('-'), QColor(200, 0, 0), false);
        return del;
    }
    case ToolPointer::Insert: {
        static const QCursor ins = BadgeCursor(QLatin1Char('+'), QColor(0, 0, 200), true);
        return ins;
    }
    case ToolPointer::Handle:
        return Qt::PointingHandCursor;
    case ToolPointer::Zoom:
        return Qt::SizeVerCursor;
    case ToolPointer::Pan:
        return Qt::ClosedHandCursor;
    case ToolPointer::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

ToolKey ToolKeyOf(int key) {
    switch (key) {
    case Qt::Key_Delete:
        return ToolKey::Delete;
    case Qt::Key_Control:
        return ToolKey::Control;
    case Qt::Key_Shift:
        return ToolKey::Shift;
    case Qt::Key_Alt:
        return ToolKey::Alt;
    default:
        return ToolKey::Other;
    }
}

} // namespace

GlView::GlView(Trace& trace, ViewState& views, Settings& settings, QWidget* parent,
               Dialogs* dialogs)
    : QOpenGLWidget(parent), trace_(trace), views_(views), settings_(settings), nav_(views),
      tools_(trace, nav_, dialogs ? *dialogs : silentDialogs_), keyboardTimer_(this),
      clearPans2_(this) {
    setObjectName(QStringLiteral("picView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    keyboardTimer_.setObjectName(QStringLiteral("tmrKeyboardMoveUpdate"));
    keyboardTimer_.setInterval(20);
    connect(&keyboardTimer_, &QTimer::timeout, this, [this] {
        if (!nav_.KeyboardMoving())
            keyboardTimer_.stop();
        Redraw();
    });
    clearPans2_.setObjectName(QStringLiteral("tmrClearPans2"));
    clearPans2_.setInterval(1000);
    clearPans2_.setSingleShot(true);
    connect(&clearPans2_, &QTimer::timeout, this, [this] { SetCaption(2, QString()); });
    connect(&clearance_, &PathClearanceCheck::Ready, this, [this] {
        UpdateClearance();
        Redraw();
    });
    nav_.metrics.Resize(width(), height());
}

GlView::~GlView() {
    if (context() && context()->isValid()) {
        makeCurrent();
        gl_.DeleteFont();
        gl_.DeleteLayers();
        doneCurrent();
    }
}

void GlView::SetMap(BspMapComponent* map, const Vec3& offset) {
    map_ = map;
    mapOffset_ = offset;
    mapBounds_ = map ? map->GetBounds() : MapBoundsArray{};
    clearance_.Invalidate();
    UpdateClearance();
}

const ClearanceReport* GlView::UpdateClearance() {
    std::shared_ptr<const ClearanceIndex> index;
    if (map_ && !map_->Map().Clearances().Empty())
        index = map_->Map().SharedClearances();
    clearance_.Request(index, trace_.path, trace_.pathUpper, mapOffset_, clearanceDistance_);
    const ClearanceReport* r = clearance_.Report();
    // While a check runs the dots are gone: they would mark the path as it was.
    const int32_t answer = r ? clearance_.Computed() : -1;
    if (answer != clearanceShown_ || clearanceIndexShown_ != (index != nullptr)) {
        clearanceShown_ = answer;
        clearanceIndexShown_ = index != nullptr;
        clearanceDots_ = {};
        for (const ClearanceStretch& s : r ? r->stretches : std::vector<ClearanceStretch>{}) {
            for (int32_t i = s.first; i <= s.last; ++i) {
                const PointRecord& p = trace_.path[static_cast<size_t>(i)];
                std::vector<float>& dots = std::binary_search(r->inside.begin(), r->inside.end(), i)
                                               ? clearanceDots_.inside
                                               : clearanceDots_.near;
                dots.insert(dots.end(), {p.x, p.y, p.z});
            }
        }
        emit ClearanceChanged();
    }
    return r;
}

void GlView::SetClearanceDistance(float distance) {
    if (distance == clearanceDistance_)
        return;
    clearanceDistance_ = distance;
    UpdateClearance();
    Redraw();
}

void GlView::CentrePlansOn(const Vec3& at) {
    for (int view = 0; view < 3; ++view) {
        const ViewAxes axes = AxesOfView(view);
        PlanView& plan = views_.plans[static_cast<size_t>(view)];
        plan.centreH = at[axes.h];
        plan.centreV = at[axes.v];
    }
    if (!nav_.Is3D())
        nav_.PanTo(nav_.Current().centreH, nav_.Current().centreV);
    Redraw();
}

void GlView::Redraw() {
    if (!suspended_)
        update();
}

void GlView::SetRedrawSuspended(bool suspended) {
    suspended_ = suspended;
}

void GlView::SetTableHighlight(int kind, int firstRow, int lastRow) {
    if (firstRow < 1) {
        // Only the table that is highlighted can switch the highlight off.
        if (kind == highlightKind_)
            highlight_ = false;
    } else {
        highlight_ = true;
        highlightKind_ = kind;
        highlightFirst_ = firstRow;
        highlightLast_ = lastRow;
    }
    Redraw();
}

void GlView::initializeGL() {
    contextOk_ = context() && context()->isValid();
    if (!contextOk_)
        return;
    RealGl::InitScene();
    gl_.BuildFont();
    gl_.ForgetLayers(); // a new context has none of the old one's textures
    DropLayers();
}

void GlView::resizeEvent(QResizeEvent* event) {
    // The plans' extents follow the size even before the context exists.
    nav_.metrics.Resize(width(), height());
    QOpenGLWidget::resizeEvent(event);
}

void GlView::resizeGL(int w, int h) {
    nav_.metrics.Resize(w, h);
    if (!nav_.Is3D()) {
        nav_.PanTo(nav_.Current().centreH, nav_.Current().centreV);
        RefreshScaleCaption();
    }
}

SceneInput GlView::CurrentSceneInput() {
    SceneInput in;
    in.trace = &trace_;
    in.viewMode = nav_.ViewMode();
    in.centreH = nav_.Current().centreH;
    in.centreV = nav_.Current().centreV;
    in.metrics = nav_.metrics;
    in.camera = &views_.camera;
    in.motion = &nav_.motion;
    in.flags.grid = settings_.showGrid;
    in.flags.arrows = settings_.showArrows;
    in.flags.tangents = settings_.showTangent;
    in.flags.times = settings_.showTimes;
    in.flags.referencePoints = trace_.showReferencePoints;
    in.flags.rulers = settings_.showRuler;
    in.suspended = suspended_;
    in.pathDots = &pathDots_;
    in.thinDots = pathThinning_;
    in.groupTrace = groupedDrawing_;
    if (settings_.showClearance && UpdateClearance())
        in.clearance = &clearanceDots_;
    in.tableHighlight = highlight_;
    in.highlightKind = highlightKind_;
    in.highlightFirst = highlightFirst_;
    in.highlightLast = highlightLast_;
    in.rubberBand = tools_.RubberBandVisible();
    in.rubberA = tools_.RubberA();
    in.rubberB = tools_.RubberB();
    in.snapMarker = tools_.MarkerVisible();
    in.snapAt = tools_.MarkerAt();
    if (const auto at = tools_.HoverPosition()) {
        in.hover = true;
        in.hoverAt = *at;
    }
    if (map_) {
        BspMapComponent* map = map_;
        in.drawMap = [map] {
            map->PrepareRender();
            map->SetRenderOrigin(0, 0, 0);
            double unused = 0;
            map->Render(unused);
        };
        in.mapOffset = mapOffset_;
    }
    return in;
}

void GlView::paintGL() {
    if (!contextOk_)
        return;
    SceneInput in = CurrentSceneInput();
    if (in.suspended)
        return;
    SetProjection(gl_, in);
    if (settings_.antiAliasing)
        gl_.Enable(GlCap::LineSmooth);
    else
        gl_.Disable(GlCap::LineSmooth);
    in.layers = &layers_;
    if (map_)
        map_->PrepareRender(); // a context change renews its generation before the salt reads it
    // Mixed into the layers' keys: the map and its look, and the smoothing, are not in the calls.
    constexpr uint64_t k = 0x9e3779b97f4a7c15ULL;
    uint64_t salt = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(map_));
    salt = salt * k + (map_ ? map_->Generation() : 0);
    salt = salt * k + (settings_.antiAliasing ? 1 : 0);
    in.layerSalt = salt == 0 ? 1 : salt;
    kestrova::ui::Redraw(gl_, in);
}

Vec3 GlView::UnProject(float x, float y) const {
    return UnProjectPlan(x, y, nav_.metrics, nav_.ViewMode(), nav_.Current().centreH,
                         nav_.Current().centreV);
}

void GlView::SetCaption(int element, const QString& text) {
    if (element < 1 || element > 3)
        return;
    captions_[element] = text;
    emit CaptionChanged(element, text);
}

QString GlView::Caption(int element) const {
    return element >= 1 && element <= 3 ? captions_[element] : QString();
}

void GlView::ShowTransientCaption(const QString& text) {
    SetCaption(2, text);
    clearPans2_.start();
}

void GlView::RefreshScaleCaption() {
    if (nav_.Is3D())
        SetCaption(1, QString());
    else
        SetCaption(1, ScaleCaption(fStr(85), nav_.metrics.visibleWidth));
}

void GlView::ApplyLanguage() {
    SetCaption(3, fStr(87 + nav_.ActiveView()));
    RefreshScaleCaption();
}

void GlView::Apply(const NavEffect& e) {
    if (!e.transient.isEmpty())
        ShowTransientCaption(e.transient);
    if (e.scaleCaption)
        RefreshScaleCaption();
    if (e.addPoint)
        AddPointAtCamera(e.addReference);
    if (nav_.KeyboardMoving() && !keyboardTimer_.isActive())
        keyboardTimer_.start();
    if (e.redraw || e.projection)
        Redraw();
}

void GlView::SyncSize() {
    // A hidden widget hears of its size only when shown: fitting must not wait for that.
    if (nav_.metrics.viewportWidth != width() || nav_.metrics.viewportHeight != height())
        nav_.metrics.Resize(width(), height());
}

void GlView::SetTool(int tool) {
    if (tool == tools_.context.tool)
        return;
    tools_.context.tool = tool;
    tools_.Reset();
    UpdatePointer();
    Redraw();
}

void GlView::ResetAllTangents() {
    ApplyTool(tools_.ResetAllTangents());
}

void GlView::SelectView(int index) {
    SyncSize();
    tools_.Reset();
    const NavEffect e = nav_.SelectView(index);
    ShowSelectedView();
    Apply(e);
}

void GlView::ShowSelectedView() {
    clearPans2_.stop();
    SetCaption(2, QString());
    SetCaption(3, fStr(87 + nav_.ActiveView()));
    RefreshScaleCaption();
    emit ViewSelected(nav_.ActiveView());
}

void GlView::FitAll() {
    SyncSize();
    Apply(nav_.FitAll(trace_, trace_.showReferencePoints, MapBounds()));
}

void GlView::FitPlansToMap() {
    if (map_)
        FitPlans();
}

void GlView::LookAtPoints() {
    VantageCamera(trace_, trace_.showReferencePoints, views_.camera);
    Redraw();
}

void GlView::FitPlans() {
    SyncSize();
    const int active = nav_.ActiveView();
    for (int view = 0; view < 3; ++view) {
        views_.activeView = view;
        nav_.FitAll(trace_, trace_.showReferencePoints, MapBounds());
    }
    views_.activeView = active;
    if (!nav_.Is3D())
        Apply(nav_.ApplyZoom());
    else
        Redraw();
}

void GlView::ApplyPreset(int slot) {
    NavEffect e;
    const bool wasSuspended = suspended_;
    suspended_ = true;
    const bool applied = nav_.ApplyPreset(slot, e);
    suspended_ = wasSuspended;
    setFocus();
    if (!applied)
        return;
    ShowSelectedView();
    Apply(e);
}

void GlView::AddPointAtCamera(bool reference) {
    const PointRecord p = PointFromCamera(views_.camera);
    const int kind = reference ? kReference : kControl;
    if (canAddPoint && !canAddPoint(kind))
        return;
    if (!AppendPointXYZ(trace_, kind, p.x, p.y, p.z, Angles{p.pitch, p.yaw, p.roll}, true))
        return;
    emit PointsEdited();
}

bool GlView::HandleKeyDown(QKeyEvent* event) {
    if (!nav_.Is3D())
        return false;
    if (preview_ && preview_->PreviewKey(event))
        return true;
    const NavKey key = KeyOf(event);
    if (key == NavKey::Other)
        return false;
    if (event->isAutoRepeat() && key != NavKey::F && key != NavKey::Z &&
        key != NavKey::KeypadPlus && key != NavKey::KeypadMinus)
        return true;
    Apply(nav_.KeyDown3D(key, ModifiersOf(event->modifiers())));
    if (key == NavKey::F && preview_ && preview_->PreviewLocked())
        preview_->PreviewFov(views_.camera.fov);
    return true;
}

bool GlView::HandleKeyUp(QKeyEvent* event) {
    if (!nav_.Is3D() || event->isAutoRepeat())
        return false;
    const NavKey key = KeyOf(event);
    if (key == NavKey::Other)
        return false;
    Apply(nav_.KeyUp3D(key));
    if (!nav_.KeyboardMoving())
        keyboardTimer_.stop();
    // A held F is one change of the point's fov.
    if (key == NavKey::F && preview_ && preview_->PreviewLocked())
        preview_->PreviewEditEnded();
    return true;
}

void GlView::keyPressEvent(QKeyEvent* event) {
    if (!HandleKeyDown(event) && !HandlePlanKey(event, true))
        QOpenGLWidget::keyPressEvent(event);
}

void GlView::keyReleaseEvent(QKeyEvent* event) {
    if (!HandleKeyUp(event) && !HandlePlanKey(event, false))
        QOpenGLWidget::keyReleaseEvent(event);
}

void GlView::wheelEvent(QWheelEvent* event) {
    const int y = event->angleDelta().y();
    int notches = y / 120;
    if (notches == 0 && y != 0)
        notches = y > 0 ? 1 : -1;
    if (notches == 0)
        return;
    if (nav_.Is3D() && preview_ && preview_->PreviewLocked()) {
        if (!nav_.motion.keepForward) {
            const NavModifiers m = ModifiersOf(event->modifiers());
            preview_->PreviewWheel(nav_.moveSpeed * 5 * static_cast<float>(notches) *
                                   static_cast<float>(NavStep(m)));
        }
        event->accept();
        return;
    }
    Apply(nav_.Wheel(notches, ModifiersOf(event->modifiers())));
    event->accept();
}

void GlView::BeginHold(QMouseEvent* event) {
    // The pointer is held where the button went down, so the first movement is measured from
    // there and the drag never starts with a jump.
    savedPointer_ = QCursor::pos();
    holdAt_ = event->globalPosition().toPoint();
    setCursor(Qt::BlankCursor);
    QCursor::setPos(holdAt_);
    // Where the pointer cannot be moved (some window systems refuse), relative motion serves.
    warpWorks_ = QCursor::pos() == holdAt_;
    lastGlobal_ = event->globalPosition();
}

QPointF GlView::HeldDelta(const QPointF& global) {
    if (warpWorks_) {
        const QPoint now = QCursor::pos();
        if (now == holdAt_)
            return {};
        QCursor::setPos(holdAt_);
        return QPointF(holdAt_ - now);
    }
    const QPointF d = lastGlobal_ - global;
    lastGlobal_ = global;
    return d;
}

void GlView::EndHold() {
    QCursor::setPos(savedPointer_);
    if (preview_ && preview_->PreviewLocked())
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

ToolInput GlView::InputOf(const QMouseEvent* event, MouseButton button) {
    ToolInput in;
    in.button = button;
    in.mods = ModifiersOf(event->modifiers());
    const QPointF p = event->position();
    in.px = p.x();
    in.py = p.y();
    in.world = UnProject(static_cast<float>(p.x()), static_cast<float>(p.y()));
    return in;
}

void GlView::SyncToolContext() {
    ToolContext& c = tools_.context;
    c.showReferencePoints = trace_.showReferencePoints;
    c.snapControl = settings_.snap2MapCtlPnt;
    c.snapReference = settings_.snap2MapRefPnt;
    if (map_) {
        // The map is drawn shifted by its origin offset: snap in the map's own frame.
        BspMapComponent* map = map_;
        const Vec3 offset = mapOffset_;
        c.snapToMap = [map, offset](WorldPos& at, int plane, float radius) {
            float x = at[0] - offset[0], y = at[1] - offset[1], z = at[2] - offset[2];
            bool found = false;
            map->SnapToMap(x, y, z, plane, radius, found);
            if (found)
                at = {x + offset[0], y + offset[1], z + offset[2]};
            return found;
        };
    } else {
        c.snapToMap = nullptr;
    }
}

void GlView::ApplyTool(const ToolEffect& e) {
    Apply(e.nav);
    if (e.caption && !clearPans2_.isActive())
        SetCaption(2, *e.caption);
    if (e.rowKind >= 0)
        emit RowChanged(e.rowKind, e.rowIndex);
    if (e.referenceDisplayOn)
        emit ReferenceDisplayOn();
    if (e.recordUndo)
        emit PointsEdited();
    if (e.selectKind >= 0)
        emit SelectRow(e.selectKind, e.selectRow);
    if (e.clipboard)
        QGuiApplication::clipboard()->setText(*e.clipboard);
    if (e.lookTarget)
        emit LookTargetPicked((*e.lookTarget)[0], (*e.lookTarget)[1], (*e.lookTarget)[2]);
    if (e.redraw)
        Redraw();
    UpdatePointer();
}

void GlView::UpdatePointer() {
    if (drag_ != Drag::None)
        return;
    const ToolPointer p = tools_.Pointer();
    if (p == pointer_)
        return;
    pointer_ = p;
    if (p == ToolPointer::Arrow)
        unsetCursor();
    else
        setCursor(CursorFor(p));
}

bool GlView::HandlePlanKey(QKeyEvent* event, bool press) {
    if (nav_.Is3D() || event->isAutoRepeat())
        return false;
    const ToolKey key = ToolKeyOf(event->key());
    if (key == ToolKey::Other)
        return false;
    // A modifier's own press or release is not yet in the event's modifiers on every system.
    NavModifiers m = ModifiersOf(event->modifiers());
    if (key == ToolKey::Control)
        m.ctrl = press;
    else if (key == ToolKey::Shift)
        m.shift = press;
    else if (key == ToolKey::Alt)
        m.alt = press;
    SyncToolContext();
    const ToolEffect e = press ? tools_.KeyDown(key, m) : tools_.KeyUp(key, m);
    ApplyTool(e);
    return key == ToolKey::Delete;
}

void GlView::leaveEvent(QEvent* event) {
    // Nothing is under the pointer any more: no marker, no pick square left behind.
    if (Idle() && (tools_.MarkerVisible() || tools_.Hover().Any())) {
        tools_.Reset();
        UpdatePointer();
        Redraw();
    }
    QOpenGLWidget::leaveEvent(event);
}

void GlView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (drag_ != Drag::None)
        return;
    if (nav_.Is3D()) {
        if (preview_ && preview_->PreviewPlaying())
            return;
        if (event->button() == Qt::LeftButton) {
            drag_ = Drag::Turn3D;
        } else if (event->button() == Qt::RightButton) {
            drag_ = Drag::Shift3D;
            nav_.BeginShift3D();
        } else {
            return;
        }
        BeginHold(event);
        return;
    }
    const MouseButton b = event->button() == Qt::LeftButton    ? MouseButton::Left
                          : event->button() == Qt::RightButton ? MouseButton::Right
                                                               : MouseButton::None;
    if (b == MouseButton::None)
        return;
    SyncToolContext();
    ApplyTool(tools_.Press(InputOf(event, b)));
}

void GlView::mouseMoveEvent(QMouseEvent* event) {
    switch (drag_) {
    case Drag::Turn3D: {
        const QPointF d = HeldDelta(event->globalPosition());
        if (d.isNull())
            return;
        if (preview_ && preview_->PreviewLocked())
            preview_->PreviewTurn(d.x(), d.y(), event->modifiers(), nav_.rollHeld);
        else
            Apply(nav_.Look(d.x(), d.y()));
        return;
    }
    case Drag::Shift3D: {
        const QPointF d = HeldDelta(event->globalPosition());
        if (d.isNull())
            return;
        if (preview_ && preview_->PreviewLocked())
            preview_->PreviewShift(d.x(), d.y(), nav_.panSpeed);
        else
            Apply(nav_.Shift3D(d.x(), d.y()));
        return;
    }
    case Drag::None:
        break;
    }
    if (nav_.Is3D())
        return;
    SyncToolContext();
    ApplyTool(tools_.Move(InputOf(event, MouseButton::None)));
}

void GlView::mouseReleaseEvent(QMouseEvent* event) {
    switch (drag_) {
    case Drag::Turn3D:
    case Drag::Shift3D:
        nav_.EndShift3D();
        EndHold();
        drag_ = Drag::None;
        pointer_ = ToolPointer::Arrow;
        if (preview_ && preview_->PreviewLocked())
            preview_->PreviewEditEnded();
        return;
    case Drag::None:
        break;
    }
    if (nav_.Is3D())
        return;
    const MouseButton b = event->button() == Qt::LeftButton    ? MouseButton::Left
                          : event->button() == Qt::RightButton ? MouseButton::Right
                                                               : MouseButton::None;
    SyncToolContext();
    ApplyTool(tools_.Release(InputOf(event, b)));
}

} // namespace kestrova::ui
