#include "core/files/compositing_commands.h"

#include "core/files/file_access.h"

#include "core/files/cam_file.h"
#include "core/files/obj_export.h"
#include "core/files/text_file.h"
#include "core/numbers.h"
#include "core/settings/language.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace kestrova {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

std::optional<QString> ChooseExportFile(Document& doc, ExportFormat format) {
    const bool cam = format == ExportFormat::AdvancedfxCam;
    FileDialogRequest r;
    r.title = fStr(752);
    r.filter = cam ? QStringLiteral("advancedfx Cam (*.cam)")
                   : QStringLiteral("3DSMax Exchange (*.kv3dsx)");
    r.extension = cam ? QStringLiteral("cam") : QStringLiteral("kv3dsx");
    r.folder = ExistingFolderOrParent(doc.exportFolder);
    // The last name, with the extension of the format now chosen.
    r.fileName = doc.exportFileName.isEmpty()
                     ? QString()
                     : RemoveExtension(doc.exportFileName) + QLatin1Char('.') + r.extension;
    std::optional<QString> path = doc.dialogs.SaveFile(r);
    if (!path || path->isEmpty())
        return std::nullopt;
    *path = WithDefaultExtension(*path, r.extension);
    const QFileInfo info(*path);
    if (!IsPseudoFileSystemPath(info.absolutePath()))
        doc.exportFolder = info.absolutePath();
    doc.exportFileName = info.fileName();
    if (doc.foldersChanged)
        doc.foldersChanged();
    return path;
}

bool WriteCamExport(Document& doc, const QString& path, UniformRandom& rng) {
    QElapsedTimer clock;
    clock.start();
    int32_t effective = 0;
    QString problem;
    const QByteArray text = TraceCamFileText(doc.trace, rng, &effective, &problem);
    const QString title = MenuCaptionAsTitle(fStr(5));
    if (!problem.isEmpty()) {
        doc.dialogs.Message(title, problem, MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    QString reason;
    if (text.isEmpty() || !WriteWholeFile(path, text, &reason)) {
        doc.dialogs.Message(title, WithReason(MessageWithFile(fStr(290), path), reason),
                            MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    doc.dialogs.Message(fStr(292),
                        fStr(291, FormatLocaleFixed(seconds, 1)) + QStringLiteral("\r\n\r\n") +
                            fStr(293) + QLatin1Char(' ') + QString::number(effective),
                        MessageIcon::Information, MessageButtons::Ok);
    return true;
}

bool ImportCameraMotion(Document& doc, const CamFitTolerance& tolerance) {
    const QString title = fStr(756);
    if (!ConfirmDiscard(doc, title))
        return false;
    FileDialogRequest r;
    r.title = title;
    r.filter = QStringLiteral("advancedfx Cam (*.cam)");
    r.extension = QStringLiteral("cam");
    r.folder = ExistingFolderOrParent(doc.exportFolder);
    const std::optional<QString> path = doc.dialogs.OpenFile(r);
    if (!path || path->isEmpty())
        return false;
    const std::optional<QByteArray> bytes = ReadTextFileBytes(*path);
    std::vector<CamFrame> frames;
    const QString error = bytes ? ReadCamFile(*bytes, frames) : fStr(757);
    if (!error.isEmpty()) {
        doc.dialogs.Message(title, MessageWithFile(fStr(757), *path) + kCrLf + error,
                            MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    const CamFit fit = FitCamFrames(frames, tolerance);

    // The fitted trace goes the road of a loaded one (game, map, lists, views fitted to its
    // points, a fresh history) but stays unsaved.
    doc.trace.modified = false; // the question above was answered
    NewTrace(doc, false);
    TraceFileContents c = CaptureTraceFile(CamFitTrace(fit), doc.host);
    c.aviDemo = fit.frameRate;
    if (!c.aviDemos.contains(fit.frameRate))
        c.aviDemos.append(fit.frameRate);
    ApplyTraceFile(std::move(c), doc.trace, doc.undo, doc.host, doc.dialogs);
    doc.trace.modified = true;
    UpdateCommandStates(doc);

    auto units = [](double v) { return FormatLocaleFixed(v, 2); };
    const QString text =
        fit.withinTolerance
            ? fStr(758, QString::number(frames.size()), QString::number(fit.frameRate),
                   QString::number(doc.trace.ControlCount()), QString::number(fit.pointCount),
                   units(tolerance.units), units(tolerance.degrees))
            : fStr(759, units(tolerance.units), units(tolerance.degrees), units(fit.unitsError),
                   units(fit.degreesError));
    doc.dialogs.Message(title, text,
                        fit.withinTolerance ? MessageIcon::Information : MessageIcon::Warning,
                        MessageButtons::Ok);
    return true;
}

bool ExportMapGeometry(Dialogs& dialogs, const MapGeometry& geometry,
                       const std::array<float, 3>& offset, const QString& mapName,
                       QString& folder) {
    FileDialogRequest r;
    r.title = fStr(761);
    r.filter = QStringLiteral("Wavefront OBJ (*.obj)");
    r.extension = QStringLiteral("obj");
    r.folder = ExistingFolderOrParent(folder);
    r.fileName = RemoveExtension(QFileInfo(mapName).fileName()) + QStringLiteral(".obj");
    std::optional<QString> path = dialogs.SaveFile(r);
    if (!path || path->isEmpty())
        return false;
    *path = WithDefaultExtension(*path, r.extension);
    if (!IsPseudoFileSystemPath(QFileInfo(*path).absolutePath()))
        folder = QFileInfo(*path).absolutePath();
    const QString title = MenuCaptionAsTitle(fStr(760));
    QString reason;
    if (!WriteWholeFile(*path, ObjFileText(geometry, offset, mapName), &reason)) {
        dialogs.Message(title, WithReason(MessageWithFile(fStr(762), *path), reason),
                        MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    dialogs.Message(title, fStr(763, QString::number(geometry.TriangleCount())),
                    MessageIcon::Information, MessageButtons::Ok);
    return true;
}

} // namespace kestrova
