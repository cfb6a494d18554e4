#include "store/EnregMorceauMagneto.h"

namespace ks3 {

const std::vector<FieldDef>& EnregMorceauMagneto::layout() {
    static const std::vector<FieldDef> l = {
        describe("CodeMorceauChamp", CodeMorceauChamp),
        describe("Champ008", Champ008),
        describe("Champ009", Champ009),
        describe("Champ019", Champ019),
        describe("Champ027", Champ027),
        describe("Champ028", Champ028),
        describe("Champ033", Champ033),
        describe("Champ041", Champ041),
        describe("Champ042", Champ042),
        describe("Champ072", Champ072),
        describe("Champ080", Champ080),
        describe("Champ110", Champ110),
        describe("NoDriveChamp", NoDriveChamp),
        describe("IndicateurDureeChamp", IndicateurDureeChamp),
        describe("Bourrage113", Bourrage113, FieldDef::Padding),
        describe("DureeMsChamp", DureeMsChamp),
        describe("TypeSonChamp", TypeSonChamp),
        describe("FormatSonChamp", FormatSonChamp),
        describe("Champ124", Champ124),
        describe("Champ134", Champ134),
        describe("Champ149", Champ149),
        describe("Bourrage150", Bourrage150, FieldDef::Padding),
    };
    return l;
}

} // namespace ks3
