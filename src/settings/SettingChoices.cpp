#include "settings/SettingChoices.h"

namespace ks3 {

const QStringList& choixCibleExistant() {
    static const QStringList l{QStringLiteral("Ecraser"), QStringLiteral("Indexer"),
                               QStringLiteral("Demander pour écraser"), QStringLiteral("Ne pas écraser")};
    return l;
}

const QStringList& choixSilence() {
    static const QStringList l{QStringLiteral("Silence digital"),
                               QStringLiteral("Toute valeur en dessous de")};
    return l;
}

const QStringList& choixNormalisation() {
    static const QStringList l{
        QStringLiteral(
            "Recherche de la valeur maximum et cette valeur est remontée à la valeur désirée (en dB)"),
        QStringLiteral("Calcule le volume moyen et ce calcul est remonté à la valeur désirée (en dB)"),
        QStringLiteral("Analyse et correction différenciée sur tout le fichier (remonte les parties calmes "
                       "comme un loudness)"),
        QStringLiteral("Amplification fixe de -12 dB à + 12 dB"),
    };
    return l;
}

} // namespace ks3
