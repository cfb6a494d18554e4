#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Converts source into target with the command-line converter, under the
// existing-target policy, and records the attempt in the history.
// convertVersKS: a UDP request (fixed suite format, no effects, source kept).
void LancerConvertV13(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS);

// The longest wait for the converter, in milliseconds.
constexpr int kAttenteConvertisseurMaxMs = 900000;

} // namespace ks3
