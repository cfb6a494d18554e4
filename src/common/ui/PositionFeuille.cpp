#include "common/ui/PositionFeuille.h"

#include "common/WindowPosition.h"
#include "common/ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ks3 {

namespace {
// The bottom edge of the desktop: with several screens a window may sit on any
// of them, so "below the screen" means below all of them.
int desktopHeightPixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().bottom() + 1 : 0;
}
} // namespace

void PositionFeuille(QWidget& window, const QString& qualificatif) {
    const PositionFenetre p = LecturePositionFenetre(window.objectName(), qualificatif,
                                                     twipsDePixels(window.frameGeometry().height()),
                                                     twipsDePixels(desktopHeightPixels()));
    // move() places the frame, as the stored left and top are the frame's.
    window.move(pixelsProchesDeTwips(p.left), pixelsProchesDeTwips(p.top));
}

void PositionFeuilleSauvegarde(const QWidget& window, const QString& qualificatif) {
    const QPoint at = window.pos();
    EcriturePositionFenetre(window.objectName(), qualificatif,
                            {twipsDePixels(at.x()), twipsDePixels(at.y())});
}

} // namespace ks3
