#pragma once

#include "store/RecordImage.h"

namespace ks3 {

// Artist (table 20, one file per station): 300 bytes. Key 0 = CodeArtiste.
// The song-length total at offset 50 is kept up to date when a sound is
// delivered; every other field belongs to the suite's other programs.
class EnregArtiste : public RecordImage<300> {
public:
    static constexpr int NoFichier = 20;

    static constexpr TextField CodeArtisteChamp{0, 5};
    static constexpr TextField Champ005{5, 10};
    static constexpr TextField Champ015{15, 30};
    static constexpr TextField Champ045{45, 1};
    static constexpr TextField Champ046{46, 4};
    static constexpr TextField TotalSecondesChamp{50, 8};
    static constexpr TextField Champ058{58, 1};
    static constexpr TextField Champ059{59, 2};
    static constexpr TextField Champ061{61, 2};
    static constexpr TextField Champ063{63, 2};
    static constexpr TextField Champ065{65, 80};
    static constexpr TextField Champ145{145, 1};
    static constexpr TextField Champ146{146, 30};
    static constexpr TextField Champ176{176, 2};
    static constexpr TextField Champ178{178, 12};
    static constexpr TextField Champ190{190, 1};
    static constexpr TextField Bourrage191{191, 1};
    static constexpr Int16Field Champ192{192};
    static constexpr TextField Champ194{194, 32};
    static constexpr TextField Champ226{226, 1};
    static constexpr TextField Champ227{227, 5};
    static constexpr TextField Champ232{232, 1};
    static constexpr TextField Champ233{233, 2};
    static constexpr TextField Champ235{235, 2};
    static constexpr TextField Champ237{237, 2};
    static constexpr TextField Champs239{239, 5, 5};
    static constexpr TextField Champ264{264, 1};
    static constexpr TextField Champs265{265, 1, 5};
    static constexpr TextField Champs270{270, 1, 5};
    static constexpr TextField Champs275{275, 5, 5};

    static const std::vector<FieldDef>& layout();

    QString CodeArtiste() const { return text(CodeArtisteChamp); }
    void setCodeArtiste(const QString& v) { setText(CodeArtisteChamp, v); }
    // Total seconds of the artist's songs, 8 zero-filled digits.
    QString TotalSecondes() const { return text(TotalSecondesChamp); }
    void setTotalSecondes(qint64 n) { setNumber(TotalSecondesChamp, n); }
};

} // namespace ks3
