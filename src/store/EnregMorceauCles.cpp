#include "store/EnregMorceauCles.h"

namespace ks3 {

const std::vector<FieldDef>& EnregMorceauCles::layout() {
    static const std::vector<FieldDef> l = {
        describe("TypeCleChamp", TypeCleChamp),
        describe("ValeurCleChamp", ValeurCleChamp),
        describe("CodeMorceauChamp", CodeMorceauChamp),
        describe("Champ018", Champ018),
        describe("Champ058", Champ058),
    };
    return l;
}

} // namespace ks3
