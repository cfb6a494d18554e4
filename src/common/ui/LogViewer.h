#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace ks3 {

// "Log techniques": writes the waiting trace lines (VoirLog), lets the user
// pick a log file of the folder, today's proposed, and opens it in the
// desktop's text viewer. A cancelled dialog opens nothing.
void VoirLogFenetre(QWidget* owner, const QString& folder);

// The viewer command for a file: $VISUAL when set, else xdg-open; the program
// and its arguments, never through a shell.
QStringList CommandeVisionneuse(const QString& file);

} // namespace ks3
