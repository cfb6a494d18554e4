#include "store/EnregVoixGroupe.h"

namespace ks3 {

const std::vector<FieldDef>& EnregVoixGroupe::layout() {
    static const std::vector<FieldDef> l = {
        describe("TypeChamp", TypeChamp),
        describe("CodeChamp", CodeChamp),
        describe("LibelleChamp", LibelleChamp),
        describe("DonneesChamp", DonneesChamp),
    };
    return l;
}

} // namespace ks3
