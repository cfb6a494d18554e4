// Two workstations sharing one conversion history on a PostgreSQL server: two
// program folders whose suite configuration names the same postgresql:// data
// folder, each running KS3_Tools_Convert --once over its own source folder at
// the same time.
#include "common/ProgramValues.h"
#include "common/WorkingFolders.h"
#include "platform/BtrStop.h"
#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"
#include "store/RecordFiles.h"
#include "support/AudioProbe.h"
#include "support/PgTestDatabase.h"
#include "support/ProgramTraceLog.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

#include <memory>

using namespace ks3;

namespace {

struct Header {
    QString id, name, sourceFolder;
};

class TwoWorkstations : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PgTestDatabase db;

    void SetUp() override { ASSERT_TRUE(db.error().isEmpty()) << db.error().toStdString(); }
    void TearDown() override {
        btr::stopRecordManager();
        resetBtrieveState();
        workingFolders() = WorkingFolders();
    }

    // A workstation: its program folder, its sources in/<name>/, its targets
    // in out/<name>/, the shared history on the server.
    QString workstation(const QString& name) {
        const QString prog = dir.file(name + "/prog/");
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"}) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + exe, prog + exe)) << exe;
            QFile(prog + exe).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
        dir.write(name + "/prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini",
                  toCp1252(QStringLiteral("[Dossiers]\r\nSource_0=%1\r\nCible_0=%2\r\n"
                                          "Source_Recursive=1\r\nCible_Recursive=1\r\nFrequence=5\r\n"
                                          "[Fichiers]\r\nSource_10=True\r\n"
                                          "Cible=2\r\nCibleCaracteristiques=2\r\nCibleExistant=0\r\n")
                               .arg(sources(name), targets(name))));
        // The suite's configuration: the record files are on the server.
        dir.write(name + "/prog/Config/BW_SYS.ini",
                  toCp1252(QStringLiteral("[Repertoires]\r\nREPBTR=%1/\r\n").arg(db.url())));
        QDir().mkpath(sources(name));
        return prog;
    }
    QString sources(const QString& name) const { return dir.file("in/" + name + "/"); }
    QString targets(const QString& name) const { return dir.file("out/" + name + "/"); }

    void source(const QString& path, double seconds) {
        ASSERT_FALSE(test::writeWav(path, test::tone(440, seconds)).isEmpty());
        test::backdateFile(path, 120);
    }

    static std::unique_ptr<QProcess> startOnce(const QString& prog) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(prog + "KS3_Tools_Convert", {QStringLiteral("--once")});
        return p;
    }

    static void finish(QProcess& p) {
        ASSERT_TRUE(p.waitForFinished(300000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }

    static QString log(const QString& prog) { return test::programTraceLog(prog); }

    // The whole shared history, read through the record layer from the server.
    void history(QList<Header>& headers, QMultiMap<QString, QString>& detailsOfHeader) {
        headers.clear();
        detailsOfHeader.clear();
        resetBtrieveState();
        programValues().dossierProgramme = dir.path();
        workingFolders().dataFolder = db.url() + QLatin1Char('/');
        workingFolders().nbStation = 1;
        InitGeneralData();
        PervasiveOuvertureFichiers(0, 1, 1);
        QString cle;
        for (int op = btr::OpGetFirst;; op = btr::OpGetNext) {
            cle = QString(10, QLatin1Char(' '));
            BTRieve(0, op, cle, 0, 41, 0, QStringLiteral("Test:history"));
            if (btrRequest().BtrStatut != 0)
                break;
            const EnregConvertEntete& e = enregConvertEntete();
            headers.append({e.IdEntete(), e.NomFichierSource().trimmed(), e.DossierSource().trimmed()});
        }
        for (int op = btr::OpGetFirst;; op = btr::OpGetNext) {
            cle = QString(20, QLatin1Char(' '));
            BTRieve(0, op, cle, 0, 42, 0, QStringLiteral("Test:history"));
            if (btrRequest().BtrStatut != 0)
                break;
            const EnregConvertDetail& d = enregConvertDetail();
            detailsOfHeader.insert(d.IdEntete(), d.ConversionOK());
        }
        PervasiveFermetureFichiers(0, 1, 1);
    }
};

} // namespace

TEST_F(TwoWorkstations, BothKeepEveryHeaderWithUniqueNumbersAndAThirdRunConvertsNothing) {
    const QString progA = workstation(QStringLiteral("a"));
    const QString progB = workstation(QStringLiteral("b"));
    constexpr int PerWorkstation = 6;
    for (int i = 0; i < PerWorkstation; ++i) {
        source(sources("a") + QStringLiteral("a%1.wav").arg(i), 0.3 + 0.05 * i);
        source(sources("b") + QStringLiteral("b%1.wav").arg(i), 0.3 + 0.05 * i);
    }

    // Both start on an empty database at the same moment: both look for the
    // history's files, one creates them, both write their headers.
    {
        const auto a = startOnce(progA);
        const auto b = startOnce(progB);
        finish(*a);
        finish(*b);
    }

    QList<Header> headers;
    QMultiMap<QString, QString> details;
    history(headers, details);
    QSet<QString> numbers, names;
    for (const Header& h : headers) {
        numbers << h.id;
        names << h.sourceFolder + h.name;
        EXPECT_EQ(details.values(h.id), QList<QString>{QStringLiteral("O")}) << h.name.toStdString();
    }
    EXPECT_EQ(numbers.size(), headers.size()) << "header numbers are unique";
    ASSERT_EQ(headers.size(), 2 * PerWorkstation) << log(progA).toStdString() << log(progB).toStdString();
    EXPECT_EQ(details.size(), 2 * PerWorkstation);
    for (const QString& ws : {QStringLiteral("a"), QStringLiteral("b")})
        for (int i = 0; i < PerWorkstation; ++i) {
            const QString name = ws + QString::number(i);
            EXPECT_TRUE(names.contains(sources(ws) + name + ".wav")) << name.toStdString();
            const test::AudioInfo info = test::probeAudio(targets(ws) + name + ".mp3");
            EXPECT_TRUE(info.ok) << name.toStdString() << ": " << info.error.toStdString();
            EXPECT_NEAR(info.duration, 0.3 + 0.05 * i, 0.06) << name.toStdString();
        }

    // A third run of either finds every file in the shared history.
    for (const QString& prog : {progA, progB}) {
        const qsizetype before = log(prog).size();
        const auto p = startOnce(prog);
        finish(*p);
        const QString third = log(prog).mid(before);
        EXPECT_EQ(third.count(QStringLiteral("-convert_to=")), 0) << third.toStdString();
        EXPECT_TRUE(third.contains(QStringLiteral("Conversion terminée: "))) << third.toStdString();
    }
    QList<Header> after;
    history(after, details);
    EXPECT_EQ(after.size(), headers.size());
    EXPECT_EQ(details.size(), 2 * PerWorkstation);
    // Nothing of the history went to the program folders.
    EXPECT_FALSE(QDir(progA + "BTRieve").exists());
    EXPECT_FALSE(QDir(progB + "BTRieve").exists());
}
