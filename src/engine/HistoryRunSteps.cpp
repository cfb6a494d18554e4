#include "engine/HistoryRunSteps.h"

#include "common/ProgramValues.h"
#include "engine/CompareFichierEtDonnees.h"
#include "engine/ConversionEnCours.h"
#include "engine/EngineServices.h"
#include "engine/LancerConvertV09.h"
#include "engine/LancerConvertV13.h"

namespace ks3 {

RunSteps& runSteps() {
    static HistoryRunSteps steps;
    RunSteps* s = engineServices().runSteps;
    return s ? *s : steps;
}

CompareResult HistoryRunSteps::compare(const QString& source, const QString& target) {
    CompareResult r;
    CompareFichierEtDonnees(source, target, r.conversionRequise, r.idEntete, r.dateFichierSource,
                            r.tailleFichierSource);
    if (!r.conversionRequise)
        TerminerConversionInterrompue(target, source, r.dateFichierSource, r.tailleFichierSource);
    return r;
}

void HistoryRunSteps::convert(const CompareResult& found, const QString& source, const QString& target) {
    if (programValues().convertisseurLigneCommande) {
        LancerConvertV13(found.idEntete, source, target, found.dateFichierSource, found.tailleFichierSource,
                         false);
        return;
    }
    LancerConvertV09(found.idEntete, source, target, found.dateFichierSource, found.tailleFichierSource,
                     false);
}

} // namespace ks3
