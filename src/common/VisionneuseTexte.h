#pragma once

#include <QString>
#include <QStringList>

namespace ks3 {

// Opens a text file in the desktop's text viewer without waiting for it: the
// command of $VISUAL when it is set (its words, then the path), else xdg-open.
// The path is one argument of the program, never read by a shell. False when
// no viewer could be started.
bool OuvrirVisionneuseTexte(const QString& path);

// The command it starts for path: the program first, then its arguments.
QStringList CommandeVisionneuseTexte(const QString& path);

} // namespace ks3
