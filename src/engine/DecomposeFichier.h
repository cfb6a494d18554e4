#pragma once

#include <QString>

namespace ks3 {

// The split-path record, process-wide and overwritten by every call.
struct FichierDecompose {
    QString fichierDossier;   // folder, up to and including the last "/"
    QString fichierNom;       // name without extension
    QString fichierExtension; // from the last dot of the name, dot included; empty without one
};
FichierDecompose& fichierDecompose();

// Splits path into the process-wide record and returns a copy of it.
FichierDecompose DecomposeFichier(const QString& path);

} // namespace ks3
