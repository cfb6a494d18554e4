#include "udp/CategorieMorceau.h"
#include "udp/DetermineDossierSon.h"
#include "udp/VerifieNoDrive.h"

#include "common/ErrorRoutine.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

// A station's folder table for the test, given back afterwards.
class SoundFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        sauve = programValues().dossiersSons;
        for (auto& ligne : programValues().dossiersSons)
            for (QString& s : ligne)
                s.clear();
        DossiersSonVerifies().clear();
        resetTraceLog();
    }
    void TearDown() override {
        programValues().dossiersSons = sauve;
        DossiersSonVerifies().clear();
        resetTraceLog();
    }
    std::array<std::array<QString, 10>, 9> sauve;
    TempDir dir;
};

TEST(CategorieMorceau, TheFirstThreeCharactersExactly) {
    const std::pair<const char*, int> cas[] = {
        {"JIN00123", 1}, {"LIN1", 2}, {"RUB", 3},    {"INF9", 4}, {"PRE0", 5}, {"PUB12", 6},
        {"TMP1", 7},     {"NUM1", 8}, {"jin001", 0}, {"JI", 0},   {"", 0},     {" JIN1", 0},
    };
    for (const auto& [song, categorie] : cas)
        EXPECT_EQ(CategorieMorceau(QString::fromUtf8(song)), categorie) << song;
}

TEST_F(SoundFolderTest, AnUnusableSlotIsTheSongNumberModuloTheFilledSlots) {
    // Category 1 (JIN) has three filled slots, 0 to 2; category 2 none.
    auto& t = programValues().dossiersSons;
    t[1][0] = QStringLiteral("/s/j0/");
    t[1][1] = QStringLiteral("/s/j1/");
    t[1][2] = QStringLiteral("/s/j2/");
    t[1][4] = QStringLiteral("/s/j4/"); // beyond the first blank: not counted
    struct Cas {
        int categorie;
        const char* slot;
        const char* song;
        const char* attendu;
    };
    const Cas cas[] = {
        {1, "1", "JIN00123", "1"},                           // a filled slot is kept
        {1, "4", "JIN00123", "4"},                           // filled, even beyond a blank one
        {1, "7", "JIN00123", "0"},                           // 123 mod 3
        {1, "7", "JIN00124", "1"},                           // 124 mod 3
        {1, "3", "JIN00125", "2"},                           // 125 mod 3
        {1, "A", "JIN00125", "2"},                           // not a digit
        {1, "12", "JIN00125", "2"},                          // not one digit
        {1, "-", "JIN00125", "-"},                           // kept as it is
        {1, "", "JIN00124", "0"},                            // blank reads as "0", a filled slot
        {1, "  ", "JIN00124", "0"}, {1, "7", "JINABC", "0"}, // no number: 0 mod 3
        {2, "5", "LIN00124", "0"},                           // no filled slot at all
        {2, "", "LIN00124", "0"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(
            VerifieNoDrive(c.categorie, QString::fromUtf8(c.slot), QString::fromUtf8(c.song), QString()),
            QString::fromUtf8(c.attendu))
            << c.categorie << " '" << c.slot << "' " << c.song;
}

TEST_F(SoundFolderTest, ASoundFolderIsCreatedOnceAndEndsWithASlash) {
    programValues().dossiersSons[1][2] = dir.file(QStringLiteral("sons/jin/b"));
    EXPECT_EQ(DetermineDossierSon(1, 2), dir.file(QStringLiteral("sons/jin/b/")));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("sons/jin/b"))).isDir());
    EXPECT_EQ(DossiersSonVerifies(), dir.file(QStringLiteral("sons/jin/b/,")));

    // Verified once per run: removed afterwards, it is not made again.
    QDir(dir.file(QStringLiteral("sons"))).removeRecursively();
    EXPECT_EQ(DetermineDossierSon(1, 2), dir.file(QStringLiteral("sons/jin/b/")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("sons"))));

    EXPECT_EQ(DetermineDossierSon(1, 3), QString());
}

TEST_F(SoundFolderTest, ACategoryOrSlotOutOfTheTableIsAnError) {
    for (const auto& [categorie, slot] : {std::pair{9, 0}, std::pair{0, 10}, std::pair{-1, 0}}) {
        Procedure p("Test", "Dossier");
        EXPECT_FALSE(p.step(1, [&] { DetermineDossierSon(categorie, slot); })) << categorie << " " << slot;
    }
}

} // namespace
