#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Records one conversion attempt: a new detail record (table 42) numbered after
// the header's last one, then the header's result flags (table 41).
void EnregistrerTentative(const QString& idEntete, const QDateTime& dateFichierSource, const QDateTime& debut,
                          const QDateTime& fin, qint64 tailleFichierSource, const QString& statut,
                          const QString& message, const QString& aConvertir);

} // namespace ks3
