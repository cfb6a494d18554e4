#include "store/DefinitionFichier.h"

#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"

namespace ks3 {

void InitStructureFichierBTR(int noFichier, bool compression) {
    DefinitionFichier& definition = btrieveState().definitionFichier;
    definition.clear();
    if (noFichier < 0 || noFichier >= NbTablesCatalogue)
        return;
    const EntreeCatalogue& e = CatalogueTables()[noFichier];
    definition.setInt16(DefinitionFichier::LongueurEnregChamp, qint16(e.longueurEnreg));
    definition.setInt16(DefinitionFichier::TaillePageChamp, qint16(e.taillePage));
    definition.setInt16(DefinitionFichier::NbClesChamp, qint16(e.nbCles));
    definition.setInt16(DefinitionFichier::FlagsFichierChamp,
                        compression ? DefinitionFichier::FlagCompression : 0);
    for (int i = 0; i < NbSegmentsCatalogue; ++i) {
        const int o = DefinitionFichier::DebutSegments + i * DefinitionFichier::TailleSegment;
        definition.setInt16(Int16Field{o}, qint16(e.segments[i].position));
        definition.setInt16(Int16Field{o + 2}, qint16(e.segments[i].longueur));
        definition.setInt16(Int16Field{o + 4}, qint16(e.segments[i].flags));
        definition.data()[o + 10] = 0; // extended data type: none
    }
}

} // namespace ks3
