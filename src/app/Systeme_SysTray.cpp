#include "app/Systeme_SysTray.h"

#include "app/FrmSysTray.h"
#include "app/TrayIcon.h"

#include <QIcon>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

namespace ks3 {

namespace {
const QString kTip = QStringLiteral("Kestrel: Tools Convert");

struct HookState {
    bool actif = false;
    QPointer<QWidget> fenetre;
    QMetaObject::Connection connexion;
};

HookState& hook() {
    static HookState state;
    return state;
}
} // namespace

void SysTrayMiseEnVeille(FrmSysTray& tray, QWidget& mainWindow) {
    SysTrayHook(tray, mainWindow);
    SysTrayAjouteIcone(tray.icone(), mainWindow.windowIcon(), kTip);
    tray.masquerFenetres();
}

void SysTrayAjouteIcone(TrayIcon& icone, const QIcon& image, const QString& tip) {
    icone.afficher(image, tip.left(kLongueurMaxTip));
}

void SysTraySupprimeIcone(TrayIcon& icone) {
    icone.supprimer();
}

void SysTrayHook(FrmSysTray& tray, QWidget& window) {
    HookState& h = hook();
    if (h.actif)
        return;
    h.actif = true;
    h.fenetre = &window;
    // Only the right button opens the menu; a left click, a double click or
    // the middle button leave everything as it is.
    h.connexion = QObject::connect(&tray.icone(), &TrayIcon::activated, &tray,
                                   [&tray](QSystemTrayIcon::ActivationReason reason) {
                                       if (reason == QSystemTrayIcon::Context && hook().fenetre)
                                           tray.SysTrayMouseEventHandler();
                                   });
}

void SysTrayUnhook() {
    HookState& h = hook();
    if (!h.actif)
        return;
    QObject::disconnect(h.connexion);
    h = HookState();
}

bool SysTrayHookActif() {
    return hook().actif;
}

} // namespace ks3
