#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Sound information (table 37, one file for all stations): 500 bytes stored,
// 508 in memory (the text at 124 is 384 bytes of which 376 are stored). Key 0 =
// CodeMorceau, key 1 = DateCreation, key 2 = DateModification; both dates are
// "yyyymmddhhmm".
class EnregInfoSon : public RecordImage<508> {
public:
    static constexpr int NoFichier = 37;

    static constexpr TextField CodeMorceauChamp{0, 8};
    static constexpr TextField DateCreationChamp{8, 12};
    static constexpr TextField DateModificationChamp{20, 12};
    static constexpr Int32Field TailleSonChamp{32};
    static constexpr Int32Field DureeMsChamp{36};
    static constexpr TextField Champ040{40, 1};
    static constexpr TextField Bourrage041{41, 3};
    static constexpr Int32Field Valeurs044Champ{44, 11};
    static constexpr Int16Field Valeur088Champ{88};
    static constexpr TextField Bourrage090{90, 2};
    static constexpr Int32Field Valeur092Champ{92};
    static constexpr TextField Champ096{96, 1};
    static constexpr TextField Bourrage097{97, 3};
    static constexpr Int32Field Valeurs100Champ{100, 6};
    static constexpr TextField Texte124Champ{124, 384};

    static const std::vector<FieldDef>& layout();

    QString CodeMorceau() const { return text(CodeMorceauChamp); }
    void setCodeMorceau(const QString& v) { setText(CodeMorceauChamp, v); }
    QString DateCreation() const { return text(DateCreationChamp); }
    void setDateCreation(const QString& v) { setText(DateCreationChamp, v); }
    QString DateModification() const { return text(DateModificationChamp); }
    void setDateModification(const QString& v) { setText(DateModificationChamp, v); }
    qint32 TailleSon() const { return int32(TailleSonChamp); }
    void setTailleSon(qint32 v) { setInt32(TailleSonChamp, v); }
    qint32 DureeMs() const { return int32(DureeMsChamp); }
    void setDureeMs(qint32 v) { setInt32(DureeMsChamp, v); }
};

} // namespace ks3
