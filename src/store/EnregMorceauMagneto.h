#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Song table of the recorder (table 26, one file per station): 150 bytes
// stored, 152 in memory. Key 0 = CodeMorceau. The three bytes at 113 align the
// duration; they are kept as read.
class EnregMorceauMagneto : public RecordImage<152> {
public:
    static constexpr int NoFichier = 26;

    static constexpr TextField CodeMorceauChamp{0, 8};
    static constexpr TextField Champ008{8, 1};
    static constexpr TextField Champ009{9, 10};
    static constexpr TextField Champ019{19, 8};
    static constexpr TextField Champ027{27, 1};
    static constexpr TextField Champ028{28, 5};
    static constexpr TextField Champ033{33, 8};
    static constexpr TextField Champ041{41, 1};
    static constexpr TextField Champ042{42, 30};
    static constexpr TextField Champ072{72, 8};
    static constexpr TextField Champ080{80, 30};
    static constexpr TextField Champ110{110, 1};
    static constexpr TextField NoDriveChamp{111, 1};
    static constexpr TextField IndicateurDureeChamp{112, 1};
    static constexpr TextField Bourrage113{113, 3};
    static constexpr Int32Field DureeMsChamp{116};
    static constexpr TextField TypeSonChamp{120, 1};
    static constexpr TextField FormatSonChamp{121, 3};
    static constexpr TextField Champ124{124, 10};
    static constexpr TextField Champ134{134, 15};
    static constexpr TextField Champ149{149, 1};
    static constexpr TextField Bourrage150{150, 2};

    static const std::vector<FieldDef>& layout();

    QString CodeMorceau() const { return text(CodeMorceauChamp); }
    void setCodeMorceau(const QString& v) { setText(CodeMorceauChamp, v); }
    QString NoDrive() const { return text(NoDriveChamp); } // sound folder slot digit
    QString IndicateurDuree() const { return text(IndicateurDureeChamp); }
    void setIndicateurDuree(const QString& v) { setText(IndicateurDureeChamp, v); }
    qint32 DureeMs() const { return int32(DureeMsChamp); }
    void setDureeMs(qint32 ms) { setInt32(DureeMsChamp, ms); }
    QString TypeSon() const { return text(TypeSonChamp); }
    void setTypeSon(const QString& v) { setText(TypeSonChamp, v); }
    QString FormatSon() const { return text(FormatSonChamp); }
    void setFormatSon(const QString& v) { setText(FormatSonChamp, v); }
};

} // namespace ks3
