#include "settings/SettingId.h"

#include "settings/SourceTypes.h"

#include <array>

namespace ks3 {

namespace {

using K = SettingKind;
using I = SettingId;
using D = SettingDefault;

// The order of the table is the order of the enum.
constexpr std::array<SettingDef, kNombreSettingIds> kDefs{{
    {I::DossiersSource, "Dossiers", "Source_", 10, K::Texte, 0, 0, true, D::Text, ""},
    {I::DossiersCible, "Dossiers", "Cible_", 10, K::Texte, 0, 0, true, D::Text, ""},
    {I::DossiersSourceRecursive, "Dossiers", "Source_Recursive", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::DossiersCibleRecursive, "Dossiers", "Cible_Recursive", 0, K::Check, 0, 1, true, D::Text, "0"},
    // The frequency only replans the next run; it is not offered for saving.
    {I::DossiersFrequence, "Dossiers", "Frequence", 0, K::Texte, 0, 0, false, D::Text, "5"},
    {I::FichiersSourcesDetruire, "FichiersSources", "Detruire", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::FichiersCiblesNePasConverir, "FichiersCibles", "NePasConverir", 0, K::Check, 0, 1, true, D::Text,
     "0"},
    {I::FichiersSource, "Fichiers", "Source_", kNombreTypesSource, K::Selection, 0, 1, true, D::Text,
     "False"},
    {I::FichiersCible, "Fichiers", "Cible", 0, K::Index, 0, 0, true, D::Text, "1"},
    {I::FichiersCibleCaracteristiques, "Fichiers", "CibleCaracteristiques", 0, K::Index, 0, 0, true, D::Text,
     "0"},
    {I::FichiersCibleExistant, "Fichiers", "CibleExistant", 0, K::Index, 0, 0, true, D::Text, "0"},
    {I::FichiersConvertVoirFenetre, "Fichiers", "ConvertVoirFenetre", 0, K::Check, 0, 1, true, D::Text, "0"},
    // Conversions a run may have going at once; 0: one per processor.
    {I::FichiersConversionsSimultanees, "Fichiers", "ConversionsSimultanees", 0, K::Slider, 0, 16, true,
     D::Text, "1"},
    {I::EffetCutActive, "Effet_Cut", "Active", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::EffetCutDebut, "Effet_Cut", "Debut", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::EffetCutFin, "Effet_Cut", "Fin", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::EffetCutSilence, "Effet_Cut", "Silence", 0, K::Option, 0, 1, true, D::Text, "0"},
    {I::EffetCutSeuildB, "Effet_Cut", "SeuildB", 0, K::Texte, 0, 0, true, D::Text, "-50"},
    {I::EffetCutSeuilDuree, "Effet_Cut", "SeuilDuree", 0, K::Texte, 0, 0, true, D::Text, "100"},
    {I::EffetNormalisationActive, "Effet_Normalisation", "Active", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::EffetNormalisationNature, "Effet_Normalisation", "Nature", 0, K::Option, 0, 3, true, D::Text, "0"},
    {I::EffetNormalisationValeurDesiree, "Effet_Normalisation", "ValeurDesiree", 0, K::Slider, -40, 0, true,
     D::Unchanged},
    {I::EffetNormalisationValeurFixe, "Effet_Normalisation", "ValeurFixe", 0, K::Slider, -12, 12, true,
     D::Unchanged},
    {I::EffetNormalisationValeurMax, "Effet_Normalisation", "ValeurMax", 0, K::Texte, 0, 0, true, D::Text,
     "8"},
    {I::EffetEQActive, "Effet_EQ", "Active", 0, K::Check, 0, 1, true, D::Text, "0"},
    {I::EffetEQBande, "Effet_EQ", "Bande_", 18, K::Slider, -12, 12, true, D::Unchanged},
    {I::UdpInLib, "UDP_IN", "Lib_", 9, K::Texte, 0, 0, true, D::Numbered, "UDP In #", 1},
    {I::UdpInIP, "UDP_IN", "IP_", 9, K::Texte, 0, 0, true, D::HostAddress},
    {I::UdpInPort, "UDP_IN", "Port_", 9, K::Texte, 0, 0, true, D::Numbered, "", 96},
    {I::UdpInActif, "UDP_IN", "Actif_", 9, K::Check, 0, 1, true, D::Text, "0"},
    {I::UdpOutLib, "UDP_OUT", "Lib_", 9, K::Texte, 0, 0, true, D::Numbered, "UDP Out #", 1},
    {I::UdpOutIP, "UDP_OUT", "IP_", 9, K::Texte, 0, 0, true, D::Text, "127.0.0.1"},
    {I::UdpOutPort, "UDP_OUT", "Port_", 9, K::Texte, 0, 0, true, D::Numbered, "", 96},
    // The message of a send row is kept but editing it is not a settings change.
    {I::UdpOutMsg, "UDP_OUT", "Msg_", 9, K::Texte, 0, 0, false, D::Text, ""},
}};

constexpr bool tableEnOrdre() {
    for (int i = 0; i < kNombreSettingIds; ++i)
        if (static_cast<int>(kDefs[static_cast<std::size_t>(i)].id) != i)
            return false;
    return true;
}
static_assert(tableEnOrdre(), "the table follows the enum");

} // namespace

const SettingDef& settingDef(SettingId id) {
    return kDefs[static_cast<std::size_t>(id)];
}

bool settingExiste(SettingId id, int n) {
    const int i = static_cast<int>(id);
    if (i < 0 || i >= kNombreSettingIds)
        return false;
    const SettingDef& d = settingDef(id);
    return d.count == 0 ? n == 0 : (n >= 0 && n < d.count);
}

bool settingStocke(SettingId id, int n) {
    return settingExiste(id, n) && !(id == SettingId::FichiersSource && n == kSourceSeparateur);
}

QString settingKey(SettingId id, int n) {
    const SettingDef& d = settingDef(id);
    QString k = QString::fromLatin1(d.key);
    if (d.count > 0)
        k += QString::number(n);
    return k;
}

QString settingDefault(SettingId id, int n) {
    const SettingDef& d = settingDef(id);
    switch (d.defaultKind) {
    case SettingDefault::Text:
        return QString::fromLatin1(d.defaultText);
    case SettingDefault::Numbered:
        return QString::fromLatin1(d.defaultText) + QString::number(d.firstNumber + n);
    default:
        return QString();
    }
}

QString settingName(SettingId id, int n) {
    return QString::fromLatin1(settingDef(id).section) + QLatin1Char('.') + settingKey(id, n);
}

} // namespace ks3
