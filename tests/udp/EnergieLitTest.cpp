#include "udp/EnergieLit.h"

#include "common/TraceLog.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

constexpr int kBloc = energie::kTailleBloc;

// A sound file of n blocks whose block k carries the words a(k) and b(k) at
// bytes 763 and 765; every other byte is 0x5A, so a level that read them
// would show it.
template <class F> QByteArray sonDeBlocs(int n, F mots) {
    QByteArray s(static_cast<qsizetype>(n) * kBloc, char(0x5A));
    for (int k = 0; k < n; ++k) {
        const auto [a, b] = mots(k);
        char* bloc = s.data() + static_cast<qsizetype>(k) * kBloc;
        bloc[763] = char(a >> 8);
        bloc[764] = char(a & 0xFF);
        bloc[765] = char(b >> 8);
        bloc[766] = char(b & 0xFF);
    }
    return s;
}

struct Lu {
    std::int32_t count = -1;
    QByteArray niveaux;
};

Lu energie(const QString& son, std::int32_t duree) {
    Lu r;
    EnergieLit(r.count, son, duree, r.niveaux, QStringLiteral("Test:Energie"));
    return r;
}

int nombreLignes(const QString& debut) {
    int n = 0;
    for (const QString& l : tracedLines())
        n += l.contains(debut) ? 1 : 0;
    return n;
}

class EnergieLitTest : public ::testing::Test {
protected:
    void SetUp() override { resetTraceLog(); }
    void TearDown() override { resetTraceLog(); }
    TempDir dir;
};

TEST(NiveauBloc, TheMeanOfTheTwoWordsScaledToAHundred) {
    struct Cas {
        int a, b, niveau;
    };
    const Cas cas[] = {
        {0xFFFF, 0xFFFF, 100}, {0, 0, 0},
        {0xFFFF, 0, 50},       {0x8000, 0, 25},
        {655, 0, 0},           {656, 0, 1},
        {0, 1966, 1},          {1965, 0, 1},
        {0x0100, 0x0001, 0},   {0x7FFF, 0x7FFF, 50},
        {0xFFFE, 0xFFFF, 100}, {0x1234, 0xABCD, 37},
    };
    for (const Cas& c : cas) {
        unsigned char bloc[kBloc];
        std::fill(std::begin(bloc), std::end(bloc), 0xFF);
        bloc[763] = static_cast<unsigned char>(c.a >> 8);
        bloc[764] = static_cast<unsigned char>(c.a & 0xFF);
        bloc[765] = static_cast<unsigned char>(c.b >> 8);
        bloc[766] = static_cast<unsigned char>(c.b & 0xFF);
        const double attendu = (c.a + c.b) / 2.0 * 100.0 / 65535.0;
        EXPECT_EQ(NiveauBloc(bloc), c.niveau) << c.a << " " << c.b << " " << attendu;
    }
}

TEST_F(EnergieLitTest, AMissingFileIsBuiltInRecordsOf4000LevelsThatEachCarryDurationAndCount) {
    const QByteArray s = sonDeBlocs(9000, [](int k) {
        return std::pair{(k * 37) % 65536, (k * 101 + 7) % 65536};
    });
    const QString son = dir.write(QStringLiteral("SON1.s48"), s);
    const Lu lu = energie(son, 281234);

    const QByteArray gpx = TempDir::read(dir.file(QStringLiteral("SON1.gpx")));
    ASSERT_EQ(gpx.size(), 3 * energie::kTailleEnreg);
    const int tenus[] = {4000, 4000, 1000};
    QByteArray calcules;
    for (int k = 0; k < 9000; ++k)
        calcules.append(char(NiveauBloc(reinterpret_cast<const unsigned char*>(s.constData()) +
                                        static_cast<qsizetype>(k) * kBloc)));
    for (int r = 0; r < 3; ++r) {
        const QByteArray e = gpx.mid(r * energie::kTailleEnreg, energie::kTailleEnreg);
        EXPECT_EQ(e.left(30), QByteArray("0000281234") + "0000009000" +
                                  QByteArray::number(tenus[r]).rightJustified(10, '0'))
            << r;
        EXPECT_EQ(e.mid(30, tenus[r]), calcules.mid(r * 4000, tenus[r])) << r;
    }
    // The last record is padded with spaces.
    EXPECT_EQ(gpx.mid(2 * energie::kTailleEnreg + 30 + 1000, 3000), QByteArray(3000, ' '));

    EXPECT_EQ(lu.count, 9000);
    EXPECT_EQ(lu.niveaux, calcules);
    EXPECT_EQ(nombreLignes(QStringLiteral("Create Gpx Start: ") + son), 1);
    EXPECT_TRUE(tracedEnding(QStringLiteral("Create Gpx End")));
    // Nothing but the sound and its energy file: no temporary left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({QStringLiteral("SON1.gpx"), QStringLiteral("SON1.s48")}));
}

TEST_F(EnergieLitTest, AFileWithin48msIsKeptAnd49msRebuildsIt) {
    const QString son = dir.write(QStringLiteral("a/JIN1.s48"), sonDeBlocs(10, [](int) {
                                      return std::pair{0xFFFF, 0xFFFF};
                                  }));
    const QString gpx = dir.file(QStringLiteral("a/JIN1.gpx"));
    energie(son, 10000);
    const QByteArray avant = TempDir::read(gpx);
    ASSERT_EQ(avant.left(20), QByteArray("00000100000000000010"));

    // The sound changes; the energy file follows only beyond 48 ms.
    dir.write(QStringLiteral("a/JIN1.s48"), sonDeBlocs(12, [](int) { return std::pair{0, 0}; }));
    resetTraceLog();
    for (const int d : {10048, 9952}) {
        const Lu lu = energie(son, d);
        EXPECT_EQ(TempDir::read(gpx), avant) << d;
        EXPECT_EQ(lu.count, 10) << d;
        EXPECT_EQ(lu.niveaux, QByteArray(10, char(100))) << d;
    }
    EXPECT_EQ(nombreLignes(QStringLiteral("Create Gpx Start")), 0);

    const Lu lu = energie(son, 10049);
    EXPECT_EQ(TempDir::read(gpx).left(30), QByteArray("000001004900000000120000000012"));
    EXPECT_EQ(lu.count, 12);
    EXPECT_EQ(lu.niveaux, QByteArray(12, char(0)));
    EXPECT_EQ(nombreLignes(QStringLiteral("Create Gpx Start: ") + son), 1);
}

TEST_F(EnergieLitTest, TheBlockCountIsTheLengthOver768HalvesToEven) {
    // Every byte 0xFF: a whole block has the level 100; a partial last block
    // reads as zeros beyond the end of the file (0 when its bytes 763 to 766 are missing).
    struct Cas {
        qsizetype octets;
        QByteArray niveaux;
    };
    const QByteArray c = QByteArray(1, char(100));
    const QByteArray z = QByteArray(1, char(0));
    const Cas cas[] = {{0, {}},
                       {383, {}},
                       {384, {}},
                       {385, z},
                       {767, c},
                       {768, c},
                       {768 + 384, c + z},
                       {2 * 768 + 384, c + c},
                       {3 * 768 + 383, c + c + c},
                       {3 * 768 + 384, c + c + c + z}};
    for (const Cas& k : cas) {
        const QString son = dir.write(QStringLiteral("b.s48"), QByteArray(k.octets, char(0xFF)));
        const Lu lu = energie(son, 1000 + static_cast<int>(k.octets) * 100);
        EXPECT_EQ(lu.count, k.niveaux.size()) << k.octets;
        EXPECT_EQ(lu.niveaux, k.niveaux) << k.octets;
    }
}

TEST_F(EnergieLitTest, AMissingFolderIsTracedAndNothingIsCreated) {
    const QString son = dir.file(QStringLiteral("absent/SON.s48"));
    const Lu lu = energie(son, 5000);
    EXPECT_EQ(lu.count, 0);
    EXPECT_TRUE(lu.niveaux.isEmpty());
    EXPECT_TRUE(tracedEnding(QStringLiteral("Err: Folder not found: ") + son));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("absent"))));
}

TEST_F(EnergieLitTest, AMissingSoundLeavesTheOldEnergyFileAndReadsItBack) {
    const QString son = dir.write(QStringLiteral("SON.s48"), sonDeBlocs(3, [](int) {
                                      return std::pair{0xFFFF, 0};
                                  }));
    energie(son, 3000);
    const QByteArray avant = TempDir::read(dir.file(QStringLiteral("SON.gpx")));
    QFile::remove(son);
    resetTraceLog();
    const Lu lu = energie(son, 9000);
    EXPECT_EQ(TempDir::read(dir.file(QStringLiteral("SON.gpx"))), avant);
    EXPECT_EQ(lu.count, 3);
    EXPECT_EQ(lu.niveaux, QByteArray(3, char(50)));
    EXPECT_EQ(nombreLignes(QStringLiteral("Err:53 (File not found: ") + son +
                           QStringLiteral(")  Source:Lib_Public Sub:EnergieLit:")),
              1);
    EXPECT_EQ(nombreLignes(QStringLiteral("Create Gpx")), 0);
    EXPECT_FALSE(QFileInfo::exists(son));
}

TEST_F(EnergieLitTest, ABlankPathDoesNothing) {
    const Lu lu = energie(QStringLiteral("  "), 5000);
    EXPECT_EQ(lu.count, 0);
    EXPECT_TRUE(tracedLines().isEmpty());
}

} // namespace
