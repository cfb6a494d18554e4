#pragma once

#include "runtime/StandbyService.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

class QMenu;

namespace ks3 {

class TrayIcon;

// The tray window: never shown, it holds the icon, the menu MnuFlottant
// ("Afficher", a separator, "A propos...") and ListeFrm, the names of the
// windows hidden by standby in the order they were hidden. It keeps the order
// in which the program's windows were first shown, to walk them from the last
// opened to the first.
//
// Where the desktop has no notification area, hiding the windows would leave
// no way back: standby minimises them instead.
class FrmSysTray final : public QWidget, public StandbyService {
    Q_OBJECT
public:
    explicit FrmSysTray(std::unique_ptr<TrayIcon> icone);
    ~FrmSysTray() override;

    // "Mettre en veille" of the main window.
    void SysTrayMiseEnVeille(QWidget& mainWindow) override;
    // The program ends: windows hidden by standby are shown again first.
    void unload() override;

    // Pops MnuFlottant up at the mouse; a click elsewhere closes it.
    void SysTrayMouseEventHandler();
    // Leaves standby: the main window first, then the others hidden by
    // standby, each shown and given the focus; then the icon goes.
    void RestaurerFenetres();
    // Hides every visible window, last opened first, adding its name to ListeFrm.
    void masquerFenetres();

    const QStringList& ListeFrm() const { return listeFrm_; }
    TrayIcon& icone() { return *icone_; }
    QMenu* MnuFlottant() const { return mnuFlottant_; }
    // The program's open windows, first opened first.
    QList<QWidget*> fenetresOuvertes() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MnuAfficher_Click();
    void MnuAbout_Click();
    void minimiserFenetres();

    std::unique_ptr<TrayIcon> icone_;
    QMenu* mnuFlottant_ = nullptr;
    QStringList listeFrm_;
    QList<QPointer<QWidget>> ouvertes_;
    QPointer<QWidget> principale_;
    bool sansZoneTracee_ = false;
};

} // namespace ks3
