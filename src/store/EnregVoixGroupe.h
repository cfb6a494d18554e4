#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Voices, groups, sounds, categories, themes... (table 21, one file per
// station): 980 bytes. Key 0 = Type + Code (for example "CATEG" and a code).
// Inside the data field, characters 641 to 648 hold a total of seconds.
class EnregVoixGroupe : public RecordImage<980> {
public:
    static constexpr int NoFichier = 21;

    static constexpr TextField TypeChamp{0, 5};
    static constexpr TextField CodeChamp{5, 5};
    static constexpr TextField LibelleChamp{10, 30};
    static constexpr TextField DonneesChamp{40, 940};

    static const std::vector<FieldDef>& layout();

    static constexpr TextField TotalSecondesChamp{680, 8}; // characters 641 to 648 of Donnees

    QString Type() const { return text(TypeChamp); }
    void setType(const QString& v) { setText(TypeChamp, v); }
    QString Code() const { return text(CodeChamp); }
    void setCode(const QString& v) { setText(CodeChamp, v); }
    QString Libelle() const { return text(LibelleChamp); }
    void setLibelle(const QString& v) { setText(LibelleChamp, v); }
    QString TotalSecondes() const { return text(TotalSecondesChamp); }
    void setTotalSecondes(qint64 n) { setNumber(TotalSecondesChamp, n); }
};

} // namespace ks3
