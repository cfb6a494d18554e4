// The record-file tool run as a program: files of a base created for two
// stations, records put from field=value pairs and dumped by their named fields.
#include "support/PgTestDatabase.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace ks3::test;

namespace {

struct Resultat {
    int code = -1;
    QString sortie;
    QString erreurs;
};

Resultat outil(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(KS3_BIN_DIR "/ks3_records"), arguments);
    Resultat r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.sortie = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.erreurs = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

TEST(RecordsTool, CreatesTheFilesOfABasePutsRecordsAndDumpsThemByField) {
    TempDir data;
    const Resultat creation = outil({QStringLiteral("create"), data.path(), QStringLiteral("2")});
    ASSERT_EQ(creation.code, 0) << qPrintable(creation.erreurs);
    for (const char* f : {"FRADA20.bt6", "FRADB20.bt6", "FRADA22.bt6", "FRADB22.bt6", "FRADA26.bt6",
                          "FRADB26.bt6", "FRADA21.bt6", "FRADA29.bt6", "FRADB31.bt6", "FRAD037.bt6"})
        EXPECT_TRUE(QFileInfo::exists(data.file(QString::fromLatin1(f)))) << f;
    EXPECT_FALSE(QFileInfo::exists(data.file(QStringLiteral("FRADC20.bt6"))));

    // Text, array and binary fields, on station 2 only.
    ASSERT_EQ(outil({QStringLiteral("put"), data.path(), QStringLiteral("20"), QStringLiteral("2"),
                     QStringLiteral("CodeArtisteChamp=ART01"), QStringLiteral("TotalSecondesChamp=00000120"),
                     QStringLiteral("Champs239[1]=xy"), QStringLiteral("Champ192=-3")})
                  .code,
              0);
    ASSERT_EQ(outil({QStringLiteral("put"), data.path(), QStringLiteral("20"), QStringLiteral("2"),
                     QStringLiteral("CodeArtisteChamp=ART00")})
                  .code,
              0);
    const Resultat dump =
        outil({QStringLiteral("dump"), data.path(), QStringLiteral("20"), QStringLiteral("2")});
    ASSERT_EQ(dump.code, 0) << qPrintable(dump.erreurs);
    const QStringList lignes = dump.sortie.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 2) << qPrintable(dump.sortie);
    // In key order, one line per record.
    EXPECT_TRUE(lignes[0].startsWith(QStringLiteral("CodeArtisteChamp=ART00|"))) << qPrintable(lignes[0]);
    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("CodeArtisteChamp=ART01|"))) << qPrintable(lignes[1]);
    EXPECT_TRUE(lignes[1].contains(QStringLiteral("|TotalSecondesChamp=00000120|")));
    EXPECT_TRUE(lignes[1].contains(QStringLiteral("|Champs239[1]=xy   |")));
    EXPECT_TRUE(lignes[1].contains(QStringLiteral("|Champ192=-3|")));
    EXPECT_EQ(outil({QStringLiteral("dump"), data.path(), QStringLiteral("20"), QStringLiteral("1")}).sortie,
              QString());

    // An unknown field or a number that is not one writes nothing.
    EXPECT_EQ(outil({QStringLiteral("put"), data.path(), QStringLiteral("20"), QStringLiteral("1"),
                     QStringLiteral("CodeArtisteChamp=ART02"), QStringLiteral("Nothing=1")})
                  .code,
              2);
    EXPECT_EQ(outil({QStringLiteral("put"), data.path(), QStringLiteral("20"), QStringLiteral("1"),
                     QStringLiteral("CodeArtisteChamp=ART02"), QStringLiteral("Champ192=abc")})
                  .code,
              2);
    EXPECT_EQ(outil({QStringLiteral("dump"), data.path(), QStringLiteral("20"), QStringLiteral("1")}).sortie,
              QString());
}

} // namespace

// The same tool on a base whose data folder is a PostgreSQL database: the files
// are tables there, found again by the next command, and nothing lands on disk.
TEST(RecordsTool, WorksOnABaseOnAServer) {
    PgTestDatabase db;
    ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString();
    const QString base = db.url() + QLatin1Char('/');
    const Resultat creation = outil({QStringLiteral("create"), base, QStringLiteral("1")});
    ASSERT_EQ(creation.code, 0) << qPrintable(creation.erreurs) << qPrintable(creation.sortie);
    EXPECT_TRUE(
        creation.sortie.contains(QStringLiteral("created: ") + db.file(QStringLiteral("FRADA20.bt6"))));
    EXPECT_EQ(
        outil({QStringLiteral("create"), base, QStringLiteral("1")}).sortie.count(QStringLiteral("exists: ")),
        creation.sortie.count(QStringLiteral("created: ")));
    ASSERT_EQ(outil({QStringLiteral("put"), base, QStringLiteral("20"), QStringLiteral("1"),
                     QStringLiteral("CodeArtisteChamp=ART01")})
                  .code,
              0);
    const Resultat dump = outil({QStringLiteral("dump"), base, QStringLiteral("20"), QStringLiteral("1")});
    ASSERT_EQ(dump.code, 0) << qPrintable(dump.erreurs);
    EXPECT_TRUE(dump.sortie.startsWith(QStringLiteral("CodeArtisteChamp=ART01|"))) << qPrintable(dump.sortie);
    EXPECT_EQ(db.query(QStringLiteral("SELECT count(*) FROM \"FRADA20.bt6\"")), "1");
    EXPECT_FALSE(QDir::current().exists(QStringLiteral("postgresql:")));
}
