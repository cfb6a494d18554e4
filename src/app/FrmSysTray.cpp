#include "app/FrmSysTray.h"

#include "app/FrmAbout.h"
#include "app/Systeme_SysTray.h"
#include "app/TrayIcon.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <algorithm>

namespace ks3 {

namespace {
const char* kModule = "FrmSysTray";

QString nomFenetre(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}
} // namespace

FrmSysTray::FrmSysTray(std::unique_ptr<TrayIcon> icone) : icone_(std::move(icone)) {
    setObjectName(QStringLiteral("FrmSysTray"));
    icone_->setParent(this);
    mnuFlottant_ = new QMenu(QStringLiteral("Flottant"), this);
    mnuFlottant_->setObjectName(QStringLiteral("MnuFlottant"));
    QAction* afficher = mnuFlottant_->addAction(QStringLiteral("Afficher"));
    afficher->setObjectName(QStringLiteral("MnuAfficher"));
    mnuFlottant_->addSeparator()->setObjectName(QStringLiteral("MnuSep01"));
    QAction* about = mnuFlottant_->addAction(QStringLiteral("A propos..."));
    about->setObjectName(QStringLiteral("MnuAbout"));
    connect(afficher, &QAction::triggered, this, &FrmSysTray::MnuAfficher_Click);
    connect(about, &QAction::triggered, this, &FrmSysTray::MnuAbout_Click);
    qApp->installEventFilter(this);
}

FrmSysTray::~FrmSysTray() {
    qApp->removeEventFilter(this);
    SysTrayUnhook();
}

bool FrmSysTray::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && !ouvertes_.contains(w))
            ouvertes_ << w;
    }
    return false;
}

QList<QWidget*> FrmSysTray::fenetresOuvertes() const {
    auto estFenetre = [this](QWidget* w) {
        const Qt::WindowType type = w->windowType();
        // Menus, tips and the icon's own widget (the X11 tray embeds one) are
        // not windows of the program.
        return w != this && w->isWindow() && type != Qt::Popup && type != Qt::ToolTip &&
               type != Qt::Desktop && !w->inherits("QSystemTrayIconSys") && !w->inherits("QBalloonTip") &&
               !w->windowFlags().testFlag(Qt::BypassWindowManagerHint);
    };
    QList<QWidget*> fenetres;
    // Windows never shown since the tray window exists come first.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (estFenetre(w) && !ouvertes_.contains(w))
            fenetres << w;
    for (const QPointer<QWidget>& w : ouvertes_)
        if (w && estFenetre(w))
            fenetres << w;
    return fenetres;
}

void FrmSysTray::SysTrayMiseEnVeille(QWidget& mainWindow) {
    Procedure p(kModule, "SysTrayMiseEnVeille");
    p.step(10, [&] {
        principale_ = &mainWindow;
        if (icone_->disponible()) {
            ks3::SysTrayMiseEnVeille(*this, mainWindow);
            return;
        }
        if (!sansZoneTracee_) {
            sansZoneTracee_ = true;
            TraceLog(-1, -1, -1,
                     QStringLiteral("No notification area on this desktop: standby minimises the windows"));
        }
        minimiserFenetres();
    });
}

void FrmSysTray::masquerFenetres() {
    // ListeFrm is empty outside standby (RestaurerFenetres empties it); a
    // second standby adds to it, so that what the first one hid comes back.
    QList<QWidget*> fenetres = fenetresOuvertes();
    std::reverse(fenetres.begin(), fenetres.end());
    for (QWidget* w : fenetres) {
        if (!w->isVisible())
            continue;
        w->hide();
        listeFrm_ << nomFenetre(w);
    }
}

void FrmSysTray::minimiserFenetres() {
    QList<QWidget*> fenetres = fenetresOuvertes();
    std::reverse(fenetres.begin(), fenetres.end());
    for (QWidget* w : fenetres)
        if (w->isVisible())
            w->showMinimized();
}

void FrmSysTray::SysTrayMouseEventHandler() {
    Procedure p(kModule, "SysTrayMouseEventHandler");
    // A popup menu takes the mouse: a click anywhere else closes it.
    p.step(10, [this] { mnuFlottant_->popup(QCursor::pos()); });
}

void FrmSysTray::RestaurerFenetres() {
    Procedure p(kModule, "RestaurerFenetres");
    p.step(10, [] { SysTrayUnhook(); });
    p.step(20, [this] {
        QList<QWidget*> fenetres = fenetresOuvertes();
        std::reverse(fenetres.begin(), fenetres.end());
        for (int pass = 0; pass < 2; ++pass) {
            for (QWidget* w : fenetres) {
                if (pass == 0 && w != principale_)
                    continue;
                if (!listeFrm_.removeOne(nomFenetre(w)))
                    continue;
                if (w->isMinimized())
                    w->showNormal();
                else
                    w->show();
                w->raise();
                w->activateWindow();
                w->setFocus();
            }
        }
    });
    // A hidden window unloaded meanwhile leaves its name: it has nothing to show.
    p.step(30, [this] { listeFrm_.clear(); });
    p.step(40, [this] { SysTraySupprimeIcone(*icone_); });
}

void FrmSysTray::unload() {
    if (!listeFrm_.isEmpty())
        RestaurerFenetres();
}

void FrmSysTray::MnuAfficher_Click() {
    RestaurerFenetres();
}

void FrmSysTray::MnuAbout_Click() {
    Procedure p(kModule, "MnuAbout_Click");
    p.step(10, [this] { AfficherAPropos(principale_); });
}

} // namespace ks3
