#pragma once

#include <QString>
#include <functional>

namespace ks3 {

// One conversion attempt as the history lists it.
struct LigneDetail {
    QString index;       // IdDetail as a number
    QString dateFichier; // shown as date and time
    QString taille;      // bytes, as a number
    QString debut;       // shown as date and time
    QString fin;         // shown as date and time
    QString ok;          // "Ok" for a success, else the ConversionOK character
    QString libelle;     // empty for a success, else LibelleDetail trimmed
    bool operator==(const LigneDetail&) const = default;
};

// Reads the attempts of one header (table 42, key 0, base 0) in their order and
// hands each one to ajoute. A blank id reads nothing. origine names the caller
// in the record calls.
void ListerDetails(const QString& idEntete, const QString& origine,
                   const std::function<void(const LigneDetail&)>& ajoute);

} // namespace ks3
