#include "store/EnregArtiste.h"

namespace ks3 {

const std::vector<FieldDef>& EnregArtiste::layout() {
    static const std::vector<FieldDef> l = {
        describe("CodeArtisteChamp", CodeArtisteChamp),
        describe("Champ005", Champ005),
        describe("Champ015", Champ015),
        describe("Champ045", Champ045),
        describe("Champ046", Champ046),
        describe("TotalSecondesChamp", TotalSecondesChamp),
        describe("Champ058", Champ058),
        describe("Champ059", Champ059),
        describe("Champ061", Champ061),
        describe("Champ063", Champ063),
        describe("Champ065", Champ065),
        describe("Champ145", Champ145),
        describe("Champ146", Champ146),
        describe("Champ176", Champ176),
        describe("Champ178", Champ178),
        describe("Champ190", Champ190),
        describe("Bourrage191", Bourrage191, FieldDef::Padding),
        describe("Champ192", Champ192),
        describe("Champ194", Champ194),
        describe("Champ226", Champ226),
        describe("Champ227", Champ227),
        describe("Champ232", Champ232),
        describe("Champ233", Champ233),
        describe("Champ235", Champ235),
        describe("Champ237", Champ237),
        describe("Champs239", Champs239),
        describe("Champ264", Champ264),
        describe("Champs265", Champs265),
        describe("Champs270", Champs270),
        describe("Champs275", Champs275),
    };
    return l;
}

} // namespace ks3
