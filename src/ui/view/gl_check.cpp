#include "ui/view/gl_check.h"

#include "ui/gl_format.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

namespace kestrova::ui {

bool CheckOpenGl(Dialogs& dialogs) {
    auto fail = [&](const char* text) {
        dialogs.Message(QStringLiteral("OpenGL Error"), QString::fromLatin1(text),
                        MessageIcon::Warning, MessageButtons::Ok);
        return false;
    };
    QOffscreenSurface surface;
    surface.setFormat(DefaultGlFormat());
    surface.create();
    if (!surface.isValid())
        return fail("Can't find a suitable PixelFormat.");
    QOpenGLContext context;
    context.setFormat(DefaultGlFormat());
    if (!context.create())
        return fail("Can't create a GL rendering context.");
    if (!context.makeCurrent(&surface))
        return fail("Can't activate the GL rendering context.");
    // Fixed-function drawing needs a compatibility context (or a version before profiles).
    const QSurfaceFormat f = context.format();
    const bool fixedFunction = f.profile() != QSurfaceFormat::CoreProfile;
    context.doneCurrent();
    if (!fixedFunction)
        return fail("Initialization Failed.");
    return true;
}

} // namespace kestrova::ui
