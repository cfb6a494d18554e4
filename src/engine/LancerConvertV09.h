#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Converts source into target with the older converter's automation objects
// (dMCScripting, engine/AutomationObject.h), the path of a computer where
// start-up found MusicConverter but not CoreConverter. The codec comes from
// the target's extension; an ".mp3" or ".mp2" source that fails is tried once
// more under its ".wav" name. No history record, no existing-target policy
// other than "Ne pas convertir si la cible existe". idEntete,
// dateFichierSource and tailleFichierSource are not used on this path; they
// keep the arguments of LancerConvertV13.
// convertVersKS: a UDP request (48000 Hz, source and empty target kept).
void LancerConvertV09(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS);

// One attempt with the automation converter at sampleRate; target is read,
// never changed.
void LancerConvertV09_Convert(int sampleRate, const QString& source, const QString& target);

// The sample rate of a call: 48000 for a UDP request, else by the selected
// target type and characteristics index.
int FrequenceConvertV09(bool convertVersKS);

} // namespace ks3
