#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace ks3 {

// The search types of the history, numbered as the window's list shows them.
enum class TypeRecherche { Date = 0, Fichier = 1, Erreurs = 2 };

// The names of the search types ("Date", "Fichier", "Erreurs!"), and back.
QString NomTypeRecherche(TypeRecherche type);
std::optional<TypeRecherche> TypeRechercheNomme(const QString& nom);

// The message of a date that cannot be read.
inline const QString kFormatDateNonValide = QStringLiteral("Format de date non valide (jj/mm/aaaa)");

// One conversion header as the history lists it.
struct LigneEntete {
    QString fichier;        // NomFichierSource, trimmed
    QString dossier;        // DossierSource, trimmed
    QString dateTraitement; // shown as date and time
    QString dateFichier;    // shown as date and time
    QString id;             // IdEntete as stored
    bool operator==(const LigneEntete&) const = default;
};

// The key and bounds a search reads between.
struct BornesRecherche {
    int noCle = 0;
    QString basse;
    QString haute;
};

// The bounds of a search: key 2 over the day for "Date" (nothing when the text
// does not read as a day, jj/mm/aaaa), key 1 from the text padded with spaces to
// the text padded with "z" (50 characters) for the other two.
std::optional<BornesRecherche> BornesDeRecherche(TypeRecherche type, const QString& texte);

// Reads the conversion headers (table 41, base 0) from the low bound on, in key
// order, and hands each one found to ajoute until a key in capitals sorts after
// the high bound in capitals. "Erreurs!" hands over only the headers whose
// ConversionOK is not "O". Another status than 0 and 9 is reported
// (ErreurBTrieve) and ends the search. Returns false, having read nothing,
// when the date cannot be read. origine names the caller in the record calls.
bool RechercherEntetes(TypeRecherche type, const QString& texte, const QString& origine,
                       const std::function<void(const LigneEntete&)>& ajoute);

} // namespace ks3
