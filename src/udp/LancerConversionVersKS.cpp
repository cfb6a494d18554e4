#include "udp/LancerConversionVersKS.h"

#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "engine/LancerConvertV13.h"

namespace ks3 {

void LancerConversionVersKS(const QString& idEntete, const QString& source, const QString& target,
                            const QDateTime& dateFichierSource, qint64 tailleFichierSource) {
    if (programValues().convertisseurLigneCommande) {
        LancerConvertV13(idEntete, source, target, dateFichierSource, tailleFichierSource, true);
        return;
    }
    // The older automation converter only exists on the suite's Windows workstations.
    TraceLog(-1, -1, -1,
             QStringLiteral(
                 "Err: LancerConvertV09: automation converter not available on this computer |Source: ") +
                 source,
             true);
}

} // namespace ks3
