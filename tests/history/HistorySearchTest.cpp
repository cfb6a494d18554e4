// The searches of the history and the listing of a header's attempts, on
// real record files.
#include "history/DetailHistorique.h"
#include "history/RechercheHistorique.h"
#include "support/HistoryFixture.h"

#include <QStringList>

using namespace ks3;

namespace {

class HistorySearch : public test::HistoryFixture {
protected:
    void SetUp() override {
        HistoryFixture::SetUp();
        header(1, QStringLiteral("abc.wav"), QStringLiteral("/a"), QStringLiteral("20240216080509"));
        header(2, QStringLiteral("ABC.wav"), QStringLiteral("/b"), QStringLiteral("20240215120000"),
               QStringLiteral("E"));
        header(3, QStringLiteral("AbC.mp3"), QStringLiteral("/c"), QStringLiteral("20240216235959"));
        header(4, QStringLiteral("abc_x.wav"), QStringLiteral("/a"), QStringLiteral("20240216000000"));
        header(5, QStringLiteral("abcé.wav"), QStringLiteral("/a"), QStringLiteral("20240217000000"),
               QStringLiteral("E"));
        header(6, QStringLiteral("abd.wav"), QStringLiteral("/a"), QStringLiteral("20240216100000"),
               QStringLiteral("N"));
        header(7, QStringLiteral("zz.wav"), QStringLiteral("/a"), QStringLiteral("20240101000000"));
        header(8, QStringLiteral("abc.wav"), QStringLiteral("/d"), QStringLiteral("20240214000000"));
        header(9, QStringLiteral("_under.wav"), QStringLiteral("/a"), QStringLiteral("20240216120000"),
               QStringLiteral("E"));
        header(10, QStringLiteral("ab.wav"), QStringLiteral("/a"), QStringLiteral("20240217000001"));
    }

    // "name folder id" of every row a search lists, in order; "refused" when
    // the text is not read.
    QStringList search(TypeRecherche type, const QString& text) {
        QStringList rows;
        const bool done = RechercherEntetes(
            type, text, QStringLiteral("FrmHisto:BtnRecherche_Click"), [&](const LigneEntete& l) {
                rows << l.fichier + QLatin1Char(' ') + l.dossier + QLatin1Char(' ') + l.id;
            });
        if (!done)
            rows << QStringLiteral("refused");
        return rows;
    }
};

TEST_F(HistorySearch, FichierListsTheNamesBeginningWithTheTextInAnyCase) {
    EXPECT_EQ(search(TypeRecherche::Fichier, QStringLiteral("abc")),
              (QStringList{"AbC.mp3 /c 0000000003", "abc.wav /a 0000000001", "ABC.wav /b 0000000002",
                           "abc.wav /d 0000000008"}))
        << "a name going on with '_' or an accented letter sorts after the padding with z";
    EXPECT_EQ(search(TypeRecherche::Fichier, QStringLiteral("ABC.W")),
              (QStringList{"abc.wav /a 0000000001", "ABC.wav /b 0000000002", "abc.wav /d 0000000008"}));
}

TEST_F(HistorySearch, EmptyTextListsEveryNameUpToTheFirstAfterZ) {
    EXPECT_EQ(search(TypeRecherche::Fichier, QString()),
              (QStringList{"ab.wav /a 0000000010", "AbC.mp3 /c 0000000003", "abc.wav /a 0000000001",
                           "ABC.wav /b 0000000002", "abc.wav /d 0000000008", "abc_x.wav /a 0000000004",
                           "abcé.wav /a 0000000005", "abd.wav /a 0000000006", "zz.wav /a 0000000007"}));
    EXPECT_EQ(search(TypeRecherche::Erreurs, QString()),
              (QStringList{"ABC.wav /b 0000000002", "abcé.wav /a 0000000005", "abd.wav /a 0000000006"}));
}

TEST_F(HistorySearch, DateListsTheHeadersCreatedThatDay) {
    const QStringList day{"abc_x.wav /a 0000000004", "abc.wav /a 0000000001", "abd.wav /a 0000000006",
                          "_under.wav /a 0000000009", "AbC.mp3 /c 0000000003"};
    EXPECT_EQ(search(TypeRecherche::Date, QStringLiteral("16/02/2024")), day);
    EXPECT_EQ(search(TypeRecherche::Date, QStringLiteral(" 16/2/2024 ")), day);
    for (const QString& bad : {QString(), QStringLiteral("abc"), QStringLiteral("31/02/2024"),
                               QStringLiteral("2024-02-16"), QStringLiteral("16/02")})
        EXPECT_EQ(search(TypeRecherche::Date, bad), QStringList{"refused"}) << bad.toStdString();
}

TEST_F(HistorySearch, RowsShowDatesWithTheProgramFormats) {
    QList<LigneEntete> rows;
    RechercherEntetes(TypeRecherche::Fichier, QStringLiteral("abc.wav"), QString(),
                      [&](const LigneEntete& l) { rows << l; });
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0],
              (LigneEntete{"abc.wav", "/a", "16/02/2024 08:05:09", "01/01/2024 10:10:10", "0000000001"}));
}

TEST_F(HistorySearch, DetailsListTheAttemptsOfOneHeaderInOrder) {
    detail(1, 1, QStringLiteral("E"), QStringLiteral("Erreur de décodage   "), 1234);
    detail(1, 2, QStringLiteral("N"), QStringLiteral("Cible identique"));
    detail(1, 3, QStringLiteral("O"), QStringLiteral("ignored on success"), 0);
    detail(2, 1, QStringLiteral("O"), QString());
    detail(10, 1, QStringLiteral("O"), QString());
    QList<LigneDetail> rows;
    ListerDetails(QStringLiteral("0000000001"), QStringLiteral("FrmHisto:ListViewRechercheMaitre_DblClick"),
                  [&](const LigneDetail& l) { rows << l; });
    const QString date = QStringLiteral("16/02/2024 08:05:09");
    const QString debut = QStringLiteral("16/02/2024 09:00:00");
    const QString fin = QStringLiteral("16/02/2024 09:01:07");
    EXPECT_EQ(rows, (QList<LigneDetail>{{"1", date, "1234", debut, fin, "E", "Erreur de décodage"},
                                        {"2", date, "2048", debut, fin, "N", "Cible identique"},
                                        {"3", date, "0", debut, fin, "Ok", ""}}));
    rows.clear();
    ListerDetails(QStringLiteral("   "), QString(), [&](const LigneDetail& l) { rows << l; });
    EXPECT_TRUE(rows.isEmpty());
}

} // namespace
