#pragma once

#include <QString>

namespace ks3 {

// Reports the status in BtrStatut (nothing when it is 0): the file, the status
// text, the last calls of the base, in one message with the choices Abandonner
// (ends the program), Réessayer and Ignorer. informationSeule shows it as an
// information box instead. Status 80 is never shown.
void ErreurBTrieve(int base, int noFichier, const QString& cle, const QString& origine,
                   bool sansHistorique = false, bool informationSeule = false);

// The same report; returns the answer of the box (4 Réessayer, 5 Ignorer,
// 2 Abandonner; 0 when nothing was asked).
int ErreurBTrieveReponse(int base, int noFichier, const QString& cle, const QString& origine,
                         bool sansHistorique = false, bool informationSeule = false);

// "Err:" + the status text + line feed; 11 and 12 end with the key or path in
// parentheses.
QString ErreurBTrieveLibelle(int statut, const QString& cle);

} // namespace ks3
