// The view's keyboard, wheel and mouse: navigation keys and the editing tools' gestures.
#include "ui/view/gl_view.h"

#include "ui/map/bsp_map_component.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
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
