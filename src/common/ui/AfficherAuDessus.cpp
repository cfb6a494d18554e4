#include "common/ui/AfficherAuDessus.h"

#include "common/ErrorRoutine.h"

#include <QApplication>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace ks3 {

namespace {
const char* const kTag = "Tag";
int depth = 0;
} // namespace

void AfficherAuDessus(QWidget* window, int mode) {
    Procedure p("Lib_Public", "AfficherAuDessus");
    p.step(10, [&] {
        if (!window)
            return;
        const bool onTop = mode == 1;
        window->setProperty(kTag, onTop ? QStringLiteral("1") : QStringLiteral("0"));
        if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
            return;
        // Changing the flags of a shown window hides it: show it again.
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (visible)
            window->show();
    });
}

void AfficherMessageBoxOuInputBox(bool showing) {
    Procedure p("Lib_Public", "AfficherMessageBoxOuInputBox");
    p.step(10, [&] {
        // Only the outermost box moves the windows: an inner one would put them
        // back on top while the outer box still waits.
        if (showing) {
            if (depth++ > 0)
                return;
        } else {
            if (depth == 0 || --depth > 0)
                return;
        }
        const QString from = showing ? QStringLiteral("1") : QStringLiteral("-1");
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows << w;
        for (const QPointer<QWidget>& w : windows) {
            if (!w || w->property(kTag).toString() != from)
                continue;
            if (showing) {
                if (!w->isVisible())
                    continue;
                AfficherAuDessus(w, 0);
                w->setProperty(kTag, QStringLiteral("-1"));
            } else {
                AfficherAuDessus(w, 1);
            }
        }
    });
}

} // namespace ks3
