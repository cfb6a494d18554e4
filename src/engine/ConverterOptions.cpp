#include "engine/ConverterOptions.h"

#include "settings/Settings.h"

namespace ks3 {

ConverterOptions currentConverterOptions() {
    const Settings& s = settings();
    ConverterOptions o;
    o.cible = s.typeCible() ? s.cible() : -1;
    o.caracteristiques = s.cibleCaracteristiques();
    o.cutActive = s.isOn(SettingId::EffetCutActive);
    o.cutDebut = s.isOn(SettingId::EffetCutDebut);
    o.cutFin = s.isOn(SettingId::EffetCutFin);
    o.cutSilence = s.number(SettingId::EffetCutSilence);
    o.cutSeuildB = s.text(SettingId::EffetCutSeuildB);
    o.cutSeuilDuree = s.text(SettingId::EffetCutSeuilDuree);
    o.normActive = s.isOn(SettingId::EffetNormalisationActive);
    o.normNature = s.number(SettingId::EffetNormalisationNature);
    o.normValeurDesiree = s.number(SettingId::EffetNormalisationValeurDesiree);
    o.normValeurFixe = s.number(SettingId::EffetNormalisationValeurFixe);
    o.normValeurMax = s.text(SettingId::EffetNormalisationValeurMax);
    o.eqActive = s.isOn(SettingId::EffetEQActive);
    for (int n = 0; n < 18; ++n)
        o.eqBandes[n] = s.number(SettingId::EffetEQBande, n);
    return o;
}

} // namespace ks3
