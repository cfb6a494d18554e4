#pragma once

#include <QString>

namespace ks3 {

// The working folders of this instance; each ends with "/" once computed.
struct WorkingFolders {
    QString dossierConfigGlobal; // Dossier_Config_Global (slot 0: base 1)
    QString repPrg;              // REPPRG, the suite's programs folder
    QString localFolder;         // Local_Folder
    QString localIniFolder;      // Local_INI_Folder
    QString dataFolder;          // Data_Folder
    QString localDataFolder;     // Local_Data_Folder
    QString logTechFolder;       // Log_Tech_Folder
    QString folderShared;        // Folder_Shared
    int nbStation = 1;           // NbStation
};

WorkingFolders& workingFolders();

} // namespace ks3
