#include "settings/OptionsLoader.h"

#include "common/ErrorRoutine.h"
#include "common/HostAddress.h"
#include "common/TraceLog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/WorkingFoldersStart.h"

namespace ks3 {

void ChargerOptions() {
    Procedure p("FrmSetup", "Form_Load");
    p.step(10, [] { settings().setChargementSetup(true); });
    p.step(20, [] { DemarrageDossiersOptions(); });
    p.step(30, [] { settings().setAdresseIPPoste(AdresseIPPoste()); });
    // The working folders are computed first thing when the settings load.
    p.step(35, [] { InitGeneralDossiers(0); });
    p.step(40, [] { InitSettings(); });
    p.step(50, [] {
        settings().setChargementSetup(false);
        traceLists().frmSetupCharge = true;
    });
}

} // namespace ks3
