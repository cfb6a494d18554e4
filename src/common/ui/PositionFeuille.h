#pragma once

#include <QString>

class QWidget;

namespace ks3 {

// The window side of the stored positions (common/WindowPosition.h): the
// window's name is its objectName ("Frm_Main", "FrmSetup", "FrmHisto").

// Places the window at its stored position, corrected for the desktop's height.
// Called at the end of a window's loading, before it is shown.
void PositionFeuille(QWidget& window, const QString& qualificatif = QString());

// Stores the window's current left and top. Called when the window is unloaded.
void PositionFeuilleSauvegarde(const QWidget& window, const QString& qualificatif = QString());

} // namespace ks3
