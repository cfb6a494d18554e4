#pragma once

#include "settings/SettingId.h"

#include <QString>
#include <array>

namespace ks3 {

// The settings that shape a converter command line; the texts start at their
// settings' defaults.
struct ConverterOptions {
    int cible = -1;            // target type code; -1 none selected
    int caracteristiques = -1; // index in the characteristics list; -1 none selected

    bool cutActive = false;
    bool cutDebut = false;
    bool cutFin = false;
    int cutSilence = 0; // 0 digital silence, 1 below the threshold
    QString cutSeuildB = settingDefault(SettingId::EffetCutSeuildB);
    QString cutSeuilDuree = settingDefault(SettingId::EffetCutSeuilDuree);

    bool normActive = false;
    int normNature = 0; // 0 peak, 1 rg, 2 adapt, 3 fixed
    int normValeurDesiree = 0;
    int normValeurFixe = 0;
    QString normValeurMax = settingDefault(SettingId::EffetNormalisationValeurMax);

    bool eqActive = false;
    std::array<int, 18> eqBandes{};
};

// The options of the live settings.
ConverterOptions currentConverterOptions();

} // namespace ks3
