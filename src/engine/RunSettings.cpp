#include "engine/RunSettings.h"

#include "settings/Settings.h"
#include "settings/SourceTypes.h"

#include <QThread>

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
    const int simultanees = s.number(SettingId::FichiersConversionsSimultanees);
    r.conversionsSimultanees = simultanees > 0 ? simultanees : qMax(1, QThread::idealThreadCount());
    return r;
}

} // namespace ks3
