#include "app/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace ks3 {

namespace {
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.5, 0.5, size - 1.0, size - 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x5f, 0xa8));
    p.drawRoundedRect(tile, size * 0.18, size * 0.18);

    // A wave that swells in the middle, as a converted sound on a level meter.
    QPainterPath wave;
    const double mid = size / 2.0;
    const double margin = size * 0.14;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double x = margin + t * (size - 2 * margin);
        const double envelope = std::sin(t * M_PI);
        const double y = mid - std::sin(t * 6 * M_PI) * envelope * size * 0.3;
        if (i == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, std::max(1.0, size / 14.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
    return pixmap;
}
} // namespace

QIcon IconeProgramme() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace ks3
