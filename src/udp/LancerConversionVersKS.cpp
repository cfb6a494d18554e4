#include "udp/LancerConversionVersKS.h"

#include "common/ProgramValues.h"
#include "engine/LancerConvertV09.h"
#include "engine/LancerConvertV13.h"

namespace ks3 {

void LancerConversionVersKS(const QString& idEntete, const QString& source, const QString& target,
                            const QDateTime& dateFichierSource, qint64 tailleFichierSource) {
    if (programValues().convertisseurLigneCommande)
        LancerConvertV13(idEntete, source, target, dateFichierSource, tailleFichierSource, true);
    else
        LancerConvertV09(idEntete, source, target, dateFichierSource, tailleFichierSource, true);
}

} // namespace ks3
