#pragma once

#include <QString>

namespace ks3 {

// Every setting, named after its INI section and key. An indexed setting
// (Dossiers.Source_<n>, ...) is one id with an index n.
enum class SettingId {
    DossiersSource,                  // text, n = 0..9
    DossiersCible,                   // text, n = 0..9
    DossiersSourceRecursive,         // check
    DossiersCibleRecursive,          // check
    DossiersFrequence,               // text (minutes)
    FichiersSourcesDetruire,         // check
    FichiersCiblesNePasConverir,     // check
    FichiersSource,                  // selection, n = 0..17 (14 is the separator, never stored)
    FichiersCible,                   // index into targetTypes()
    FichiersCibleCaracteristiques,   // index into the selected type's characteristics
    FichiersCibleExistant,           // index into choixCibleExistant()
    FichiersConvertVoirFenetre,      // check
    FichiersConversionsSimultanees,  // slider 0..16 (0: one per processor)
    EffetCutActive,                  // check
    EffetCutDebut,                   // check
    EffetCutFin,                     // check
    EffetCutSilence,                 // option 0..1
    EffetCutSeuildB,                 // text (dB)
    EffetCutSeuilDuree,              // text (ms)
    EffetNormalisationActive,        // check
    EffetNormalisationNature,        // option 0..3
    EffetNormalisationValeurDesiree, // slider -40..0
    EffetNormalisationValeurFixe,    // slider -12..12
    EffetNormalisationValeurMax,     // text (dB)
    EffetEQActive,                   // check
    EffetEQBande,                    // slider -12..12, n = 0..17
    UdpInLib,                        // text, n = 0..8
    UdpInIP,                         // text, n = 0..8
    UdpInPort,                       // text, n = 0..8
    UdpInActif,                      // check, n = 0..8
    UdpOutLib,                       // text, n = 0..8
    UdpOutIP,                        // text, n = 0..8
    UdpOutPort,                      // text, n = 0..8
    UdpOutMsg,                       // text, n = 0..8
};

inline constexpr int kNombreSettingIds = static_cast<int>(SettingId::UdpOutMsg) + 1;

// How the control of a setting holds its value.
enum class SettingKind {
    Texte,     // a text box: any text
    Check,     // a check box: 0 or 1
    Selection, // an entry of a multi-selection list: 0 or 1
    Index,     // the selected position of a list or combo: -1 (none) .. size - 1
    Option,    // the number of the selected option button: min..max
    Slider,    // a slider position: min..max
};

// What a setting takes when the settings file has no value for it.
enum class SettingDefault {
    Text,        // the text of the table
    Numbered,    // the text of the table, then its first number + the index ("UDP In #1", port 96 + n)
    HostAddress, // this computer's address (Settings::adresseIPPoste)
    Unchanged,   // what its control holds (a slider keeps its position)
};

struct SettingDef {
    SettingId id;
    const char* section;
    const char* key; // the key, or its stem for an indexed setting ("Source_")
    int count;       // 0 for a single key, else the number of indexes
    SettingKind kind;
    int min;
    int max;     // bounds of Check, Selection, Option and Slider values
    bool marque; // a change by the user marks the settings modified
    SettingDefault defaultKind = SettingDefault::Text;
    const char* defaultText = "";
    int firstNumber = 0; // of a Numbered default
};

const SettingDef& settingDef(SettingId id);
// True when (id, n) is a setting: n is 0 for a single key, within the indexes
// otherwise.
bool settingExiste(SettingId id, int n);
// True when (id, n) is stored in the settings file (the source-type separator is not).
bool settingStocke(SettingId id, int n);
// The INI key: "Frequence", "Source_12".
QString settingKey(SettingId id, int n = 0);
// "Section.Key": "Dossiers.Source_3".
QString settingName(SettingId id, int n = 0);
// The default of (id, n) when it is a Text or a Numbered one; empty otherwise.
QString settingDefault(SettingId id, int n = 0);

} // namespace ks3
