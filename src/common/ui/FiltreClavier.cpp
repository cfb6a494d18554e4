#include "common/ui/FiltreClavier.h"

#include "common/ui/GestionClavier.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ks3 {

FiltreClavier::FiltreClavier(QWidget* window) : QObject(window), window_(window) {
    // On the application: a key reaches the control that has the focus, not
    // the window.
    if (qApp)
        qApp->installEventFilter(this);
}

FiltreClavier::~FiltreClavier() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool FiltreClavier::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == window_)
            GestionClavier(*static_cast<QKeyEvent*>(event));
    }
    return false;
}

} // namespace ks3
