#include "engine/RunSettings.h"

#include "settings/Settings.h"
#include "settings/SourceTypes.h"

namespace ks3 {

RunSettings currentRunSettings() {
    const Settings& s = settings();
    RunSettings r;
    for (int n = 0; n < 10; ++n) {
        r.sources[n] = s.text(SettingId::DossiersSource, n);
        r.cibles[n] = s.text(SettingId::DossiersCible, n);
    }
    r.sourceRecursive = s.isOn(SettingId::DossiersSourceRecursive);
    r.cibleRecursive = s.isOn(SettingId::DossiersCibleRecursive);
    for (const SourceType& t : sourceTypes())
        if (!t.separateur && s.sourceSelectionnee(t.code))
            r.selectedSourceTypes.push_back(&t);
    r.targetType = s.typeCible();
    r.frequence = s.text(SettingId::DossiersFrequence);
    return r;
}

} // namespace ks3
