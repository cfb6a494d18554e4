#include "store/EnregConvertDetail.h"

namespace ks3 {

const std::vector<FieldDef>& EnregConvertDetail::layout() {
    static const std::vector<FieldDef> l = {
        describe("IdEnteteChamp", IdEnteteChamp),
        describe("IdDetailChamp", IdDetailChamp),
        describe("DateFichierSourceChamp", DateFichierSourceChamp),
        describe("TailleFichierSourceChamp", TailleFichierSourceChamp),
        describe("DebutConversionChamp", DebutConversionChamp),
        describe("FinConversionChamp", FinConversionChamp),
        describe("ConversionOKChamp", ConversionOKChamp),
        describe("LibelleDetailChamp", LibelleDetailChamp),
        describe("ReserveChamp", ReserveChamp),
        describe("FinChamp", FinChamp),
    };
    return l;
}

QString EnregConvertDetail::cle(const QString& idEntete, const QString& idDetail) {
    return QString::fromLatin1(recordtext::fit(idEntete, IdEnteteChamp.width) +
                               recordtext::fit(idDetail, IdDetailChamp.width));
}

} // namespace ks3
