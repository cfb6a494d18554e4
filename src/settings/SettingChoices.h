#pragma once

#include <QStringList>

namespace ks3 {

// Captions of the fixed choices of the options window; a setting stores the
// position of its choice.

// Fichiers.CibleExistant: "Ecraser", "Indexer", "Demander pour écraser", "Ne pas écraser".
const QStringList& choixCibleExistant();
// Effet_Cut.Silence: "Silence digital", "Toute valeur en dessous de".
const QStringList& choixSilence();
// Effet_Normalisation.Nature: the four kinds of normalisation.
const QStringList& choixNormalisation();

} // namespace ks3
