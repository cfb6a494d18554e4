#pragma once

#include <QString>

namespace ks3 {

// A "yyyymmddhhmmss" field of the history shown with the program's date and
// time formats ("16/02/2024 08:05:09"). Each piece is read as a number; a blank
// or unreadable piece counts as 0.
QString DateHeureHistorique(const QString& champ14);

} // namespace ks3
