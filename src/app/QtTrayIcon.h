#pragma once

#include "app/TrayIcon.h"

namespace ks3 {

// The icon on QSystemTrayIcon: a StatusNotifierItem where the desktop has a
// watcher for it, else an icon embedded in the X11 tray. No context menu is
// given to Qt: the right button reaches the tray window as Context, which
// pops its own menu.
class QtTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    explicit QtTrayIcon(QObject* parent = nullptr);

    bool disponible() const override;
    void afficher(const QIcon& image, const QString& tip) override;
    void supprimer() override;

private:
    QSystemTrayIcon icon_;
};

} // namespace ks3
