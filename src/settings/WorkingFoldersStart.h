#pragma once

#include <QString>

namespace ks3 {

// Where the suite's configuration is, and the working folders derived from it.
// Folder values read from the suite's files get a trailing "/"; the suite's
// drive-letter defaults live under DossierProgramme.

// Path of the suite configuration file: DossierProgramme + "Settings/KS3_Config.ini".
QString DetermineDossierConfig();
// Number of bases of the suite configuration file ([Sites] NbBase, 1 by default).
int DetermineDossierConfig_Bases_Nombre(const QString& configFile);
// Configuration folder of a base (1-based): [Site] Dossier_Config_Global when
// set, else [Base_NN] Dossier_Config_Global (DossierProgramme + "Config/").
// Traced with ":A" and ":B".
QString DetermineDossierConfig_Fichier(const QString& configFile, int base);
// Label of a base ([Base_NN] Lib, "Base NN" by default).
QString DetermineDossierConfig_Bases_Libelle(const QString& configFile, int base);

// The folder start of the options window: settings folder, configuration
// folder of base 1, number of stations, programs folder (REPPRG).
void DemarrageDossiersOptions();
// Computes the working folders of one base slot (start-up uses slot 0),
// traces them and creates those that must exist.
void InitGeneralDossiers(int slot);
// The local form of a network path "//computerName/share/..." that points at
// a disk share of this computer whose local folder exists (or can be made);
// path unchanged otherwise.
QString ChangeUNCFolder2LocalFolder(int slot, const QString& path, const QString& computerName);

// The section of BW_SYS.ini that holds key: "Repertoires_UNC" when its
// [UNC_Actif] entry reads exactly "ON", else "Repertoires".
QString SectionRepertoires(const QString& bwSys, const QString& key);

} // namespace ks3
