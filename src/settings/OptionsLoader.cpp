#include "settings/OptionsLoader.h"

#include "common/ErrorRoutine.h"
#include "common/HostAddress.h"
#include "common/TraceLog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/WorkingFoldersStart.h"

namespace ks3 {

namespace {
std::function<void()>& windowLoader() {
    static std::function<void()> loader;
    return loader;
}
} // namespace

void setOptionsWindowLoader(std::function<void()> loader) {
    windowLoader() = std::move(loader);
}

void ChargerFenetreOptions() {
    if (windowLoader())
        windowLoader()();
    else
        ChargerOptions();
}

void ChargerOptions() {
    Procedure p("FrmSetup", "Form_Load");
    p.step(10, [] { settings().setChargementSetup(true); });
    p.step(20, [] {
        DemarrageDossiersOptions();
        setInitDossiersTravail([] { InitGeneralDossiers(0); });
    });
    p.step(30, [] { settings().setAdresseIPPoste(AdresseIPPoste()); });
    p.step(40, [] { InitSettings(); });
    p.step(50, [] {
        settings().setChargementSetup(false);
        traceLists().frmSetupCharge = true;
    });
}

} // namespace ks3
