#include "store/SpecFichier.h"

#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"

namespace ks3 {

void InitStructureFichierBTR(int noFichier, bool compression) {
    SpecFichier& spec = btrieveState().specFichier;
    spec.clear();
    if (noFichier < 0 || noFichier >= NbTablesCatalogue)
        return;
    const EntreeCatalogue& e = CatalogueTables()[noFichier];
    spec.setInt16(SpecFichier::LongueurEnregChamp, qint16(e.longueurEnreg));
    spec.setInt16(SpecFichier::TaillePageChamp, qint16(e.taillePage));
    spec.setInt16(SpecFichier::NbClesChamp, qint16(e.nbCles));
    spec.setInt16(SpecFichier::FlagsFichierChamp, compression ? SpecFichier::FlagCompression : 0);
    for (int i = 0; i < NbSegmentsCatalogue; ++i) {
        const int o = SpecFichier::DebutSegments + i * SpecFichier::TailleSegment;
        spec.setInt16(Int16Field{o}, qint16(e.segments[i].position));
        spec.setInt16(Int16Field{o + 2}, qint16(e.segments[i].longueur));
        spec.setInt16(Int16Field{o + 4}, qint16(e.segments[i].flags));
        spec.data()[o + 10] = 0; // extended data type: none
    }
}

} // namespace ks3
