#pragma once

// A conversion history in record files of a temporary data folder, filled
// through the record layer.
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ks3::test {

class HistoryFixture : public ::testing::Test {
protected:
    TempDir data;
    ScriptedMessageBoxService boxes;
    ServicesGuard services{[this](Services& s) { s.questions = &boxes; }};

    void SetUp() override {
        resetBtrieveState();
        resetRecordBuffers();
        resetTraceLog();
        InitGeneralData();
        workingFolders().dataFolder = dataFolder();
        workingFolders().logTechFolder = data.path();
        workingFolders().nbStation = 1;
        FichierPervasiveOuvrir(0, 1, 1, 41);
        FichierPervasiveOuvrir(0, 1, 1, 42);
    }
    // Where the record files are: the temporary folder, unless a test puts
    // them elsewhere (a database of the PostgreSQL test server).
    virtual QString dataFolder() const { return data.path(); }

    void TearDown() override {
        FichierPervasiveFermer(0, 1, 1, 42);
        FichierPervasiveFermer(0, 1, 1, 41);
        resetBtrieveState();
        resetTraceLog();
        workingFolders() = WorkingFolders();
    }

    // Inserts a header numbered n.
    void header(int n, const QString& name, const QString& folder, const QString& dateTraitement,
                const QString& ok = QStringLiteral("O")) {
        EnregConvertEntete& e = enregConvertEntete();
        e.setIdEntete(n);
        e.setNomFichierSource(name);
        e.setDossierSource(folder);
        e.setDateTraitement(dateTraitement);
        e.setDateFichierSource(QStringLiteral("20240101101010"));
        e.setTailleFichierSource(1000 + n);
        e.setAConvertir(QStringLiteral("N"));
        e.setNomFichierCible(name);
        e.setDossierCible(QStringLiteral("/out"));
        e.setConversionOK(ok);
        e.setEmpreinteNoms(QString());
        QString key(10, QLatin1Char(' '));
        BTRieve(0, btr::OpInsert, key, 0, EnregConvertEntete::NoFichier, 1, QString());
        ASSERT_EQ(btrRequest().BtrStatut, 0) << name.toStdString();
    }

    // Inserts attempt d of header n.
    void detail(int n, int d, const QString& ok, const QString& label, qint64 size = 2048) {
        EnregConvertDetail& e = enregConvertDetail();
        e.setIdEntete(n);
        e.setIdDetail(d);
        e.setDateFichierSource(QStringLiteral("20240216080509"));
        e.setTailleFichierSource(size);
        e.setDebutConversion(QStringLiteral("20240216090000"));
        e.setFinConversion(QStringLiteral("20240216090107"));
        e.setConversionOK(ok);
        e.setLibelleDetail(label);
        QString key(20, QLatin1Char(' '));
        BTRieve(0, btr::OpInsert, key, 0, EnregConvertDetail::NoFichier, 1, QString());
        ASSERT_EQ(btrRequest().BtrStatut, 0);
    }

    // The number of records left in a table.
    int count(int file) {
        int n = 0;
        QString key;
        for (int op = btr::OpGetFirst;; op = btr::OpGetNext) {
            BTRieve(0, op, key, 0, file, 1, QString());
            if (btrRequest().BtrStatut != 0)
                return n;
            ++n;
        }
    }
};

} // namespace ks3::test
