#include "ui/captions.h"

#include "core/settings/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace kestrova::ui {

const QList<CaptionBinding>& LanguageCaptions() {
    static const QList<CaptionBinding> table = {
        {"mnuTrace", 0},
        {"mnuT_Open", 1},
        {"mnuT_Save", 2},
        {"mnuT_New", 3},
        {"mnuT_ImportMenu", 753},
        {"mnuT_Import", 754},
        {"mnuT_ImportCam", 755},
        {"mnuT_Export", 5},
        {"mnuT_GameMOD", 6},
        {"mnuT_Quit", 7},
        {"mnuEdit", 10},
        {"mnuE_Undo", 11},
        {"mnuE_Redo", 12},
        {"mnuE_SelectAll", 13},
        {"mnuE_DeselectAll", 14},
        {"mnuMap", 15},
        {"mnuMapNone", 16},
        {"mnuMapLoad", 17},
        {"mnuMapOrigin", 18},
        {"mnuMapExport", 760},
        {"mnuMapMagnetize", 19},
        {"mnuMM_CtlPoints", 20},
        {"mnuMM_RefPoints", 21},
        {"mnuDisplay", 22},
        {"mnuV_Refresh", 23},
        {"mnuV_ShowArrow", 24},
        {"mnuV_ShowTangent", 25},
        {"mnuV_ShowGrid", 26},
        {"mnuV_AntiAliasing", 27},
        {"mnuV_ShowRefPoints", 28},
        {"mnuV_ShowTimes", 29},
        {"mnuV_ShowRulers", 30},
        {"mnuV_ShowClearance", 730},
        {"mnuV_ClearanceList", 731},
        {"mnuV_Language", 31},
        {"mnuVL_Lang0", 32},
        {"mnuVL_Lang1", 33},
        {"mnuH_About", 34},
        {"tabTools0", 35},
        {"tabTools1", 45},
        {"tabTools2", 48},
        {"tabTools3", 75},
        {"fraS_CurveSpeed", 46},
        {"lblTransSpeed", 47},
        {"chkConstantSpeed", 725},
        {"fraS_Duration", 701}, // its label shows the duration as a clock
        {"fraS_Includes", 49},
        {"chkSIncFov", 50},
        {"chkSIncTS", 51},
        {"chkSIncConMsg", 52},
        {"fraS_CameraMode", 53},
        {"lblCamMode", 54},
        {"lblCmLookPlayer", 55},
        {"fraS_Pause", 60},
        {"chkSP_Enabled", 61},
        {"lblStopBind", 62},
        {"cmdCreateScript", 73},
        {"chkSAStartEnabled", 78},
        {"lblSCmdsBefore", 56},
        {"lblSCmdsAfter", 57},
        {"fraC_Target", 36},
        {"optLkTarget0", 37},
        {"optLkTarget1", 38},
        {"optLkTarget2", 39},
        {"cmdLkApply", 700},
        {"cmdInvert", 41},
        {"cmdAverage", 42},
        {"fraC_Increment", 43},
        {"fraC_Convert", 521},
        {"fraGDemo", 80},
    };
    return table;
}

const QList<CaptionBinding>& TooltipCaptions() {
    static const QList<CaptionBinding> table = {
        {"lblPans0", 400},           {"lblPans1", 401},         {"optTools0", 402},
        {"optTools1", 403},          {"optTools2", 404},        {"optTools3", 405},
        {"optTools4", 406},          {"optViews0", 87},         {"optViews1", 88},
        {"optViews2", 89},           {"optViews3", 90},         {"cmdInvert", 407},
        {"cmdTraceNotes", 408},      {"optLkTarget", 409},      {"chkSIncConMsg", 410},
        {"txtSteps0", 411},          {"txtSteps1", 411},        {"chkStepAutoAdjust0", 412},
        {"chkStepAutoAdjust1", 412}, {"chkSP_Enabled", 413},    {"txtSP_Nb", 414},
        {"cboSP_BindKey", 415},      {"cmdCreateScript", 416},  {"cmdDelSShots", 417},
        {"cmdGDemoReload", 418},     {"cmdModSelectRoot", 419}, {"cmdGameLoad", 420},
        {"cmdGameClose", 421},       {"txtTransSpeed", 422},    {"chkConstantSpeed", 726},
    };
    return table;
}

namespace {

void SetCaption(QObject* target, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(target))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(target))
        menu->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(target))
        group->setTitle(text);
}

// A tab is captioned through its tab widget: "tabTools2" is tab 2 of "tabTools".
bool SetTabCaption(QWidget* root, const QString& name, const QString& text) {
    const qsizetype split = name.size() - 1;
    if (split < 1 || !name.back().isDigit())
        return false;
    auto* tabs = root->findChild<QTabWidget*>(name.left(split));
    if (!tabs)
        return false;
    const int index = name.back().digitValue();
    if (index >= tabs->count())
        return false;
    tabs->setTabText(index, text);
    return true;
}

} // namespace

void ApplyCaptions(QWidget* root, const QList<CaptionBinding>& table) {
    for (const CaptionBinding& b : table) {
        const QString name = QString::fromLatin1(b.objectName);
        const QString text = fStr(b.id);
        if (QObject* target = root->findChild<QObject*>(name))
            SetCaption(target, text);
        else
            SetTabCaption(root, name, text);
    }
}

void ApplyTooltipTable(QWidget* root, const QString& modFolder, const QString& executable) {
    for (const CaptionBinding& b : TooltipCaptions()) {
        QString text;
        if (b.id == 417)
            text = fStr(b.id, modFolder);
        else if (b.id == 419)
            text = fStr(b.id, modFolder, executable);
        else
            text = fStr(b.id);
        const QString name = QString::fromLatin1(b.objectName);
        // An option group's tip goes on each of its elements (name + index).
        for (QWidget* w : root->findChildren<QWidget*>()) {
            const QString own = w->objectName();
            if (!own.startsWith(name))
                continue;
            const QStringView rest = QStringView(own).mid(name.size());
            if (std::all_of(rest.begin(), rest.end(), [](QChar c) { return c.isDigit(); }))
                w->setToolTip(text);
        }
    }
}

} // namespace kestrova::ui
