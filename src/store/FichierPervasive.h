#pragma once

#include <QString>
#include <cstdint>

namespace ks3 {

// Opens a table for every station of the range: the file is
// <data folder of the base><NomFichierBTR>. A missing file is created empty
// only for the tables this program owns (37 and 40 to 49); any other missing
// file stays closed.
void FichierPervasiveOuvrir(int base, int premiereStation, int derniereStation, int noFichier,
                            int modeOuverture = 0);
// Closes a table for every station of the range where it is open.
void FichierPervasiveFermer(int base, int premiereStation, int derniereStation, int noFichier);

// One file: open (mode 0 = normal) or release it. Failures are reported.
bool OuvertureFichierBTrieve(int base, int noFichier, const QString& chemin, std::uint32_t& longueur,
                             int station, int modeOuverture = 0);
bool FermetureFichierBTrieve(int base, int noFichier, const QString& chemin, std::uint32_t& longueur,
                             int station);

// The file name of a table: "FRAD041.bt6"; a table kept per station carries the
// station's letter as 5th character (index 0 → "A": "FRADA26.bt6").
QString NomFichierBTR(int noFichier, int indexStation);

// The record folder of a base, ending with "/".
QString DossierDonneesBase(int base);

// Is there a record file at the path? The record manager is asked, so that the
// answer holds wherever the files are (a folder, a PostgreSQL server).
bool FichierBtrExiste(const QString& chemin);

// Creates an empty record file from DefinitionFichier (InitStructureFichierBTR)
// where none is (StatusFileExists when one is); returns the status, also left
// in BtrStatut.
int CreationStructureVide(const QString& chemin);

} // namespace ks3
