#pragma once

#include <QDialog>

namespace ks3 {

// The about box: the program's name, its version and the instance running.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* owner = nullptr);
};

// Loads the about box (once) and shows it, not modal, owned by owner. Used by
// the main window's "A propos" and the tray's "A propos...".
FrmAbout* AfficherAPropos(QWidget* owner);

} // namespace ks3
