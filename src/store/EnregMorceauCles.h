#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Complementary keys of the songs (table 29, one file per station): 100 bytes.
// Key 0 = TypeCle + ValeurCle + CodeMorceau, key 1 = TypeCle + ValeurCle
// (case-insensitive) + the text at 18, key 2 = CodeMorceau.
class EnregMorceauCles : public RecordImage<100> {
public:
    static constexpr int NoFichier = 29;

    static constexpr TextField TypeCleChamp{0, 5};
    static constexpr TextField ValeurCleChamp{5, 5};
    static constexpr TextField CodeMorceauChamp{10, 8};
    static constexpr TextField Champ018{18, 40};
    static constexpr TextField Champ058{58, 42};

    static const std::vector<FieldDef>& layout();

    static constexpr int CleCodeMorceau = 2;

    QString TypeCle() const { return text(TypeCleChamp); } // for example "DUREE"
    void setTypeCle(const QString& v) { setText(TypeCleChamp, v); }
    QString ValeurCle() const { return text(ValeurCleChamp); }
    void setValeurCle(const QString& v) { setText(ValeurCleChamp, v); }
    void setValeurCle(qint64 n) { setNumber(ValeurCleChamp, n); }
    QString CodeMorceau() const { return text(CodeMorceauChamp); }
    void setCodeMorceau(const QString& v) { setText(CodeMorceauChamp, v); }
};

} // namespace ks3
