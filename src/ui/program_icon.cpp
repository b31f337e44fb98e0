#include "ui/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrova::ui {

namespace {

// A camera path swept over a dark tile, with its three control points.
QPixmap IconPixmap(int size) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 44, 60));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);

    QPainterPath path;
    path.moveTo(s * 0.16, s * 0.78);
    path.cubicTo(s * 0.30, s * 0.20, s * 0.62, s * 0.95, s * 0.84, s * 0.24);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 200, 60), std::max(1.5, s * 0.07), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);

    p.setPen(Qt::NoPen);
    const qreal r = std::max(1.5, s * 0.075);
    p.setBrush(QColor(230, 60, 50));
    p.drawEllipse(QPointF(s * 0.16, s * 0.78), r, r);
    p.setBrush(QColor(90, 200, 120));
    p.drawEllipse(QPointF(s * 0.50, s * 0.55), r, r);
    p.drawEllipse(QPointF(s * 0.84, s * 0.24), r, r);
    return pix;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(IconPixmap(size));
    return icon;
}

} // namespace kestrova::ui
