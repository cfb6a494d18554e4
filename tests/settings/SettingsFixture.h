#pragma once

#include "common/NomFichierSettings.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <QString>
#include <gtest/gtest.h>

namespace ks3::test {

// A program folder of its own and settings as before the options window loads.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetTraceLog();
        programValues().dossierProgramme = dir.path();
        programValues().noInstance = 0;
        DossierSettings().clear();
        settings().setChargementSetup(false);
        settings().reinitialiser();
        settings().setAdresseIPPoste(QStringLiteral("192.168.1.20"));
    }
    void TearDown() override {
        DossierSettings().clear();
        programValues().dossierProgramme.clear();
        settings().reinitialiser();
        resetTraceLog();
    }
    QString fichier() const { return dir.file("Settings/KS3_Convert/KS3_Tools_Convert.Ini"); }
    QString ecrit(const QByteArray& contenu) const {
        return dir.write("Settings/KS3_Convert/KS3_Tools_Convert.Ini", contenu);
    }

    ManualClock clock;
    TempDir dir;
};

} // namespace ks3::test
