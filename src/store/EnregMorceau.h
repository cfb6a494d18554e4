#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Song (table 22, one file per station): 900 bytes stored, 910 in memory (the
// last 10 are never written). Key 0 = CodeMorceau. A sound delivery reads the
// artist, category and theme codes and writes the length, size, date and
// format of the new sound.
class EnregMorceau : public RecordImage<910> {
public:
    static constexpr int NoFichier = 22;

    static constexpr TextField CodeMorceauChamp{0, 8};
    static constexpr TextField CodesArtistesChamp{8, 5, 2};
    static constexpr TextField Champ018{18, 5};
    static constexpr TextField Champ023{23, 40};
    static constexpr TextField Champ063{63, 5};
    static constexpr TextField CodeCategorieChamp{68, 5};
    static constexpr TextField Champ073{73, 5};
    static constexpr TextField Champ078{78, 5};
    static constexpr TextField Champ083{83, 5};
    static constexpr TextField Champ088{88, 3};
    static constexpr TextField Champ091{91, 1};
    static constexpr TextField Champs092{92, 1, 3};
    static constexpr TextField Champ095{95, 1};
    static constexpr TextField Champ096{96, 1};
    static constexpr TextField Champs097{97, 1, 3};
    static constexpr TextField Champ100{100, 3};
    static constexpr TextField DureeSecondesBasChamp{103, 4};
    static constexpr TextField Champ107{107, 1};
    static constexpr TextField Champ108{108, 5};
    static constexpr TextField CodesThemesChamp{113, 5, 15};
    static constexpr TextField Champ188{188, 4};
    static constexpr TextField Champ192{192, 3};
    static constexpr TextField Champ195{195, 5};
    static constexpr TextField Champ200{200, 5};
    static constexpr TextField Champ205{205, 1};
    static constexpr TextField NoDriveChamp{206, 1};
    static constexpr TextField IndicateurDureeChamp{207, 1};
    static constexpr TextField TailleSonChamp{208, 10};
    static constexpr TextField Champ218{218, 5};
    static constexpr TextField Champ223{223, 5};
    static constexpr TextField Champ228{228, 30};
    static constexpr TextField Champs258{258, 1, 100};
    static constexpr TextField Champs358{358, 1, 53};
    static constexpr TextField Champ411{411, 1};
    static constexpr TextField Champ412{412, 4};
    static constexpr TextField Champs416{416, 8, 2};
    static constexpr TextField Champ432{432, 1};
    static constexpr TextField Champ433{433, 1};
    static constexpr TextField Champ434{434, 1};
    static constexpr TextField Champ435{435, 1};
    static constexpr TextField Champ436{436, 1};
    static constexpr TextField Champ437{437, 8};
    static constexpr TextField DateSonChamp{445, 8};
    static constexpr TextField Champ453{453, 5};
    static constexpr TextField Champ458{458, 1};
    static constexpr TextField HeureSonChamp{459, 6};
    static constexpr TextField DureeSecondesHautChamp{465, 2};
    static constexpr TextField Champ467{467, 1};
    static constexpr TextField Champ468{468, 1};
    static constexpr TextField Champ469{469, 1};
    static constexpr TextField Champ470{470, 8};
    static constexpr TextField Champs478{478, 5, 10};
    static constexpr TextField Champ528{528, 8};
    static constexpr TextField FormatSonChamp{536, 3};
    static constexpr TextField Champ539{539, 8};
    static constexpr TextField Champ547{547, 1};
    static constexpr TextField Champ548{548, 8};
    static constexpr TextField Champ556{556, 8};
    static constexpr TextField Champ564{564, 8};
    static constexpr TextField Champ572{572, 1};
    static constexpr TextField Champ573{573, 1};
    static constexpr TextField Champ574{574, 8};
    static constexpr TextField Champ582{582, 8};
    static constexpr TextField Champ590{590, 15};
    static constexpr TextField Champ605{605, 15};
    static constexpr TextField Champ620{620, 15};
    static constexpr TextField Champ635{635, 9};
    static constexpr TextField Champ644{644, 1};
    static constexpr TextField Champs645{645, 8, 5};
    static constexpr TextField Champ685{685, 1};
    static constexpr TextField Champ686{686, 2};
    static constexpr TextField Champ688{688, 2};
    static constexpr TextField Champ690{690, 2};
    static constexpr TextField Champ692{692, 1};
    static constexpr TextField Champs693{693, 5, 10};
    static constexpr TextField Champs743{743, 5, 10};
    static constexpr TextField Champ793{793, 2};
    static constexpr TextField Champ795{795, 10};
    static constexpr TextField Champ805{805, 20};
    static constexpr TextField Champ825{825, 1};
    static constexpr TextField Champ826{826, 20};
    static constexpr TextField Champ846{846, 8};
    static constexpr Int16Field Champ854{854};
    static constexpr TextField Champ856{856, 1};
    static constexpr TextField Champ857{857, 1};
    static constexpr Int16Field Champ858{858};
    static constexpr TextField Champ860{860, 1};
    static constexpr TextField Champs861{861, 10, 3};
    static constexpr TextField Champ891{891, 8};
    static constexpr TextField Champ899{899, 1};
    static constexpr TextField ExtensionChamp{900, 10};

    static const std::vector<FieldDef>& layout();

    QString CodeMorceau() const { return text(CodeMorceauChamp); }
    void setCodeMorceau(const QString& v) { setText(CodeMorceauChamp, v); }
    QString CodeArtiste(int i) const { return text(CodesArtistesChamp, i); } // i = 0, 1
    QString CodeCategorie() const { return text(CodeCategorieChamp); }
    QString CodeTheme(int i) const { return text(CodesThemesChamp, i); } // i = 0..14
    // The song's length in seconds is 6 digits stored as 2 at offset 465
    // followed by 4 at offset 103.
    qint64 DureeSecondes() const;
    void setDureeSecondes(qint64 s);
    QString NoDrive() const { return text(NoDriveChamp); }
    void setNoDrive(const QString& v) { setText(NoDriveChamp, v); }
    QString IndicateurDuree() const { return text(IndicateurDureeChamp); }
    void setIndicateurDuree(const QString& v) { setText(IndicateurDureeChamp, v); }
    QString TailleSon() const { return text(TailleSonChamp); }
    void setTailleSon(qint64 n) { setNumber(TailleSonChamp, n); }
    QString DateSon() const { return text(DateSonChamp); } // "yyyymmdd"
    void setDateSon(const QString& v) { setText(DateSonChamp, v); }
    QString HeureSon() const { return text(HeureSonChamp); } // "hhmmss"
    void setHeureSon(const QString& v) { setText(HeureSonChamp, v); }
    QString FormatSon() const { return text(FormatSonChamp); }
    void setFormatSon(const QString& v) { setText(FormatSonChamp, v); }
};

} // namespace ks3
