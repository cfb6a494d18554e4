#include "store/CatalogueTables.h"
#include "store/BtrieveState.h"
#include "store/DefinitionFichier.h"
#include "store/FichierPervasive.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {
// Keys counted from the segments: a segment flagged 16 continues its key.
int keysOfSegments(const EntreeCatalogue& e, int* segments) {
    int keys = 0;
    *segments = 0;
    for (const SegmentCle& s : e.segments) {
        if (s.longueur == 0)
            break;
        ++*segments;
        if (!(s.flags & CleSegmentee))
            ++keys;
    }
    return keys;
}
} // namespace

TEST(CatalogueTables, FiftyOneEntriesWithConsistentKeys) {
    InitGeneralData();
    EXPECT_TRUE(CatalogueTablesConstruit());
    const std::vector<int> empty = {8, 18, 36, 38, 39, 50};
    for (int no = 0; no < NbTablesCatalogue; ++no) {
        SCOPED_TRACE(no);
        const EntreeCatalogue& e = CatalogueTables()[no];
        const bool shouldBeEmpty = std::find(empty.begin(), empty.end(), no) != empty.end();
        EXPECT_EQ(e.estVide(), shouldBeEmpty);
        if (shouldBeEmpty)
            continue;
        EXPECT_EQ(e.nomFichier, QStringLiteral("FRAD%1 ").arg(no, 3, 10, QLatin1Char('0')));
        EXPECT_FALSE(e.titre.isEmpty());
        int segments = 0;
        EXPECT_EQ(keysOfSegments(e, &segments), e.nbCles);
        EXPECT_GT(e.longueurEnreg, 0);
        EXPECT_LE(e.longueurEnreg, e.taillePage);
        EXPECT_EQ(e.taillePage % 512, 0);
        for (int i = 0; i < segments; ++i)
            EXPECT_LE(e.segments[i].position - 1 + e.segments[i].longueur, e.longueurEnreg);
    }
    const Catalogue& c = CatalogueTables();
    int segments = 0;
    EXPECT_EQ(keysOfSegments(c[7], &segments), 4);
    EXPECT_EQ(segments, 5);
    EXPECT_EQ(c[47].longueurEnreg, 4082);
    EXPECT_EQ(c[47].taillePage, 4096);
    EXPECT_EQ(c[43].longueurEnreg, 4000);
    EXPECT_EQ(c[41].titre, QStringLiteral("V 3.4 Convert Entête"));
    EXPECT_EQ(c[26].parStation, QStringLiteral("O"));
    EXPECT_EQ(c[41].parStation, QStringLiteral("N"));
    EXPECT_EQ(c[41].longueurCle(1), 50);
    EXPECT_EQ(c[42].longueurCle(0), 20);
    EXPECT_EQ(c[29].longueurCle(1), 30);
    EXPECT_EQ(c[20].longueurCle(3), 21);
    EXPECT_EQ(c[41].longueurCle(3), 0);
}

TEST(CatalogueTables, FileNamesCarryTheStationLetter) {
    InitGeneralData();
    struct Case {
        int no, stationIndex;
        const char* name;
    };
    for (const Case& c : {Case{41, 0, "FRAD041.bt6"}, Case{41, 3, "FRAD041.bt6"}, Case{26, 0, "FRADA26.bt6"},
                          Case{26, 1, "FRADB26.bt6"}, Case{22, 2, "FRADC22.bt6"}, Case{37, 5, "FRAD037.bt6"}})
        EXPECT_EQ(NomFichierBTR(c.no, c.stationIndex), QLatin1String(c.name))
            << c.no << " " << c.stationIndex;
}

TEST(CatalogueTables, FileDefinitionOfTheConversionDetail) {
    InitGeneralData();
    InitStructureFichierBTR(29, true);
    const DefinitionFichier& s = btrieveState().definitionFichier;
    const QByteArray b = s.bytes();
    EXPECT_EQ(b.size(), 160);
    EXPECT_EQ(b.left(16), QByteArray("\x64\x00\x00\x02\x03\x00\x00\x00\x00\x00\x08\x00\x00\x00\x00\x00", 16));
    // Second segment: position 1, length 10, flags 1043 (0x413), extended type 0.
    EXPECT_EQ(b.mid(32, 16),
              QByteArray("\x01\x00\x0A\x00\x13\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16));
    EXPECT_EQ(s.positionSegment(3), 11);
    EXPECT_EQ(s.longueurSegment(3), 8);
    EXPECT_EQ(b.mid(16 + 4 * 16), QByteArray(160 - 16 - 4 * 16, '\0'))
        << "unused segments and the ninth are zero";
    InitStructureFichierBTR(29, false);
    EXPECT_EQ(btrieveState().definitionFichier.FlagsFichier(), 0);
}
