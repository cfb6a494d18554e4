#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QIcon;

namespace ks3 {

// The program's icon in the desktop's notification area, as the tray window
// sees it: shown with an image and a tip, removed, and the clicks on it.
// QtTrayIcon is the desktop's; tests give their own.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // False when the desktop has no notification area to show it in.
    virtual bool disponible() const = 0;
    virtual void afficher(const QIcon& image, const QString& tip) = 0;
    virtual void supprimer() = 0;

signals:
    // A click on the icon: Context for the right button (pressed), Trigger
    // for the left one, DoubleClick, MiddleClick.
    void activated(QSystemTrayIcon::ActivationReason reason);
};

} // namespace ks3
