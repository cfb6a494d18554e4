#include "store/EnregConvertEntete.h"

namespace ks3 {

const std::vector<FieldDef>& EnregConvertEntete::layout() {
    static const std::vector<FieldDef> l = {
        describe("IdEnteteChamp", IdEnteteChamp),
        describe("NomFichierSourceChamp", NomFichierSourceChamp),
        describe("DateTraitementChamp", DateTraitementChamp),
        describe("DateFichierSourceChamp", DateFichierSourceChamp),
        describe("TailleFichierSourceChamp", TailleFichierSourceChamp),
        describe("AConvertirChamp", AConvertirChamp),
        describe("NomFichierCibleChamp", NomFichierCibleChamp),
        describe("DossierSourceChamp", DossierSourceChamp),
        describe("DossierCibleChamp", DossierCibleChamp),
        describe("ConversionOKChamp", ConversionOKChamp),
        describe("EmpreinteNomsChamp", EmpreinteNomsChamp),
        describe("ReserveChamp", ReserveChamp),
    };
    return l;
}

} // namespace ks3
