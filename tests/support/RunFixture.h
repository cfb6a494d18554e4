#pragma once

#include "common/MessageBoxService.h"
#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/RunState.h"
#include "engine/RunSteps.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SourceTypes.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace ks3::test {

// Run steps that compare every file as "to convert" and convert nothing, with
// a hook where a test acts in the middle of a run (press a button, tick...).
class ScriptedRunSteps : public RunSteps {
public:
    std::function<void(int fileNumber)> onCompare; // 1 for the first file of the run
    QStringList compared;
    QStringList converted;

    CompareResult compare(const QString& source, const QString&) override {
        compared << source;
        if (onCompare)
            onCompare(int(compared.size()));
        CompareResult r;
        r.conversionRequise = true;
        return r;
    }
    void convert(const CompareResult&, const QString& source, const QString&) override {
        converted << source;
    }
};

// One source folder with two wave files, converted to mp3 every 7 minutes; the
// trace log, the settings and the positions in a fresh folder; questions
// answered by a script.
struct RunFixture : ::testing::Test {
    ManualClock clock;
    TempDir dir;
    ScriptedMessageBoxService boxes;
    ScriptedRunSteps steps;
    ServicesGuard services{[this](Services& s) {
        s.questions = &boxes;
        s.runSteps = &steps;
    }};
    ProgramValues savedValues = programValues();
    WorkingFolders savedFolders = workingFolders();

    void SetUp() override {
        resetTraceLog();
        traceLists().frmSetupCharge = true;
        runState().reset();
        programValues().dossierProgramme = dir.path();
        programValues().noInstance = 0;
        DossierSettings().clear();
        workingFolders().logTechFolder = dir.file(QStringLiteral("Logs/"));
        QDir().mkpath(workingFolders().logTechFolder);
        dir.write(QStringLiteral("In/a.wav"), "RIFF");
        dir.write(QStringLiteral("In/b.wav"), "RIFF");
        QDir().mkpath(dir.file(QStringLiteral("Out")));
        Settings& s = settings();
        s.setText(SettingId::DossiersSource, 0, dir.file(QStringLiteral("In/")));
        s.setText(SettingId::DossiersCible, 0, dir.file(QStringLiteral("Out/")));
        for (const SourceType& t : sourceTypes())
            if (t.libelle.startsWith(QStringLiteral("Wave (")))
                s.setNumber(SettingId::FichiersSource, t.code, 1);
        s.choisirCible(2); // MPEG-1 Layer 3
        s.setText(SettingId::DossiersFrequence, 0, QStringLiteral("7"));
    }

    void TearDown() override {
        runState().reset();
        settings().reinitialiser();
        settings().setSetupModifie(false);
        resetTraceLog();
        programValues() = savedValues;
        workingFolders() = savedFolders;
        DossierSettings().clear();
    }

    QStringList messages() const {
        QStringList m;
        for (const ChoiceBoxRequest& r : boxes.seen())
            m << r.message;
        return m;
    }
    // Every trace line so far: those written to the day's file and those waiting.
    QStringList traced() const {
        QStringList lines;
        QDir logs(workingFolders().logTechFolder);
        for (const QString& f : logs.entryList({QStringLiteral("*.Log")}, QDir::Files))
            lines += QString::fromLatin1(TempDir::read(logs.filePath(f))).split(QStringLiteral("\r\n"));
        return lines + traceLists().listeLog.stringList();
    }
    int tracedCount(const QString& text) const {
        int n = 0;
        for (const QString& l : traced())
            n += l.endsWith(text) ? 1 : 0;
        return n;
    }
};

} // namespace ks3::test
