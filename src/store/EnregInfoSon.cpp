#include "store/EnregInfoSon.h"

namespace ks3 {

const std::vector<FieldDef>& EnregInfoSon::layout() {
    static const std::vector<FieldDef> l = {
        describe("CodeMorceauChamp", CodeMorceauChamp),
        describe("DateCreationChamp", DateCreationChamp),
        describe("DateModificationChamp", DateModificationChamp),
        describe("TailleSonChamp", TailleSonChamp),
        describe("DureeMsChamp", DureeMsChamp),
        describe("Champ040", Champ040),
        describe("Bourrage041", Bourrage041, FieldDef::Padding),
        describe("Valeurs044Champ", Valeurs044Champ),
        describe("Valeur088Champ", Valeur088Champ),
        describe("Bourrage090", Bourrage090, FieldDef::Padding),
        describe("Valeur092Champ", Valeur092Champ),
        describe("Champ096", Champ096),
        describe("Bourrage097", Bourrage097, FieldDef::Padding),
        describe("Valeurs100Champ", Valeurs100Champ),
        describe("Texte124Champ", Texte124Champ),
    };
    return l;
}

} // namespace ks3
