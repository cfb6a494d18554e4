#include "store/EnregPointeurs.h"

namespace ks3 {

const std::vector<FieldDef>& EnregPointeurs::layout() {
    static const std::vector<FieldDef> l = {
        describe("CodeMorceauChamp", CodeMorceauChamp),
        describe("Champ008", Champ008),
        describe("Champ009", Champ009),
        describe("Champ011", Champ011),
        describe("Champ021", Champ021),
        describe("Champ031", Champ031),
        describe("Champ033", Champ033),
        describe("Champ034", Champ034),
        describe("Champ044", Champ044),
    };
    return l;
}

} // namespace ks3
