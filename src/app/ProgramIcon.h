#pragma once

#include <QIcon>

namespace ks3 {

// The program's icon (main window, tray): a sound wave on a blue tile, drawn at
// the usual sizes so that no image file has to travel with the program.
QIcon IconeProgramme();

} // namespace ks3
