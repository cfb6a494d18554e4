#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace ks3 {

// One key segment: 1-based byte position in the record, length, and the record
// manager's key flags (1 duplicates, 2 modifiable, 4 binary, 8 null key,
// 16 segmented: the next segment belongs to the same key, 32 alternate
// collating sequence, 1024 case-insensitive).
struct SegmentCle {
    std::int32_t position = 0;
    std::int32_t longueur = 0;
    std::int32_t flags = 0;
};

constexpr int CleSegmentee = 16;
constexpr int NbSegmentsCatalogue = 8;

// One table of the suite.
struct EntreeCatalogue {
    QString titre;
    QString nomFichier; // 8 characters: "FRAD" + three digits, padded
    QString parStation; // "O": one file per station
    std::int32_t longueurEnreg = 0;
    std::int32_t taillePage = 0;
    std::int32_t nbCles = 0;
    std::array<SegmentCle, NbSegmentsCatalogue> segments{};

    bool estVide() const { return nomFichier.trimmed().isEmpty(); }
    bool estParStation() const { return parStation == QLatin1String("O"); }
    // Total length of a key (all its segments), 0 for a key the table does not have.
    int longueurCle(int noCle) const;
};

constexpr int NbTablesCatalogue = 51;
using Catalogue = std::array<EntreeCatalogue, NbTablesCatalogue>;

// The catalogue of the suite's record files, numbered 0 to 50.
Catalogue& CatalogueTables();
// Fills the catalogue; may be called again (the values are rewritten).
void InitGeneralData();
// True once InitGeneralData has run.
bool CatalogueTablesConstruit();

// The record files this program opens, in opening order.
constexpr std::array<int, 9> FichiersOuvertsParLeProgramme = {20, 21, 22, 26, 29, 31, 37, 41, 42};

} // namespace ks3
