#include "ui/view/gl_view.h"

#include "core/model/point_table_ops.h"
#include "core/numbers.h"
#include "core/settings/language.h"
#include "ui/map/bsp_map_component.h"

#include <algorithm>

#include <QOpenGLContext>

namespace kestrova::ui {

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

} // namespace kestrova::ui
