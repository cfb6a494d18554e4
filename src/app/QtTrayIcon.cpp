#include "app/QtTrayIcon.h"

namespace ks3 {

QtTrayIcon::QtTrayIcon(QObject* parent) : TrayIcon(parent) {
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
}

bool QtTrayIcon::disponible() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::afficher(const QIcon& image, const QString& tip) {
    icon_.setIcon(image);
    icon_.setToolTip(tip);
    icon_.show();
}

void QtTrayIcon::supprimer() {
    icon_.hide();
}

} // namespace ks3
