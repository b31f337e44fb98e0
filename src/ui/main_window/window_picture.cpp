#include "ui/main_window/window_picture.h"

#include "ui/main_window/main_window.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

namespace kestrova::ui {

QImage WindowPicture(FrmMain& window) {
    QImage shot = window.grab().toImage();
    GlView* view = window.Views3D()->View();
    const QImage frame = view->grabFramebuffer();
    if (!frame.isNull() && view->isVisible()) {
        QPainter p(&shot);
        p.drawImage(QRect(view->mapTo(&window, QPoint(0, 0)), view->size()), frame);
    }
    return shot;
}

QString SaveWindowPicture(FrmMain& window, const QString& file) {
    const QImage shot = WindowPicture(window);
    QImageWriter writer(file);
    if (shot.isNull() || !writer.write(shot))
        return QStringLiteral("Cannot write the picture \"%1\": %2")
            .arg(QDir::toNativeSeparators(file),
                 shot.isNull() ? QStringLiteral("the window could not be grabbed")
                               : writer.errorString());
    return {};
}

} // namespace kestrova::ui
