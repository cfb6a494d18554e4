#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Converts a requested sound into the suite's own format (MPEG-1 Layer 2,
// 48 kHz, 256 kbit/s, stereo) with the converter found at start-up: the
// command-line one when there is one, else the older automation converter.
void LancerConversionVersKS(const QString& idEntete, const QString& source, const QString& target,
                            const QDateTime& dateFichierSource, qint64 tailleFichierSource);

} // namespace ks3
