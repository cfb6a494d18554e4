#include "settings/WorkingFoldersStart.h"

#include "common/ComputerName.h"
#include "common/ErrorRoutine.h"
#include "common/LeadingNumber.h"
#include "common/NomFichierSettings.h"
#include "common/PathText.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/DiskShares.h"
#include "platform/IniFile.h"
#include "settings/FolderTools.h"
#include "settings/SettingsFile.h"

namespace ks3 {

namespace {

QString deuxChiffres(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

int nombre(const QString& text) {
    return LeadingInteger(text).value_or(0);
}

QString lireDossier(const QString& sys, const QString& key, const QString& defaut) {
    return withTrailingSlash(LectureIni(sys, SectionRepertoires(sys, key), key, defaut));
}

void trace(const QString& text) {
    TraceLog(-1, -1, -1, text);
}

// The folder that stands for the suite's drive-letter defaults and for its
// programs folder (the local and shared folders default to it, and are
// written): the data root.
QString programme() {
    return DossierDonnees();
}

} // namespace

QString SectionRepertoires(const QString& bwSys, const QString& key) {
    // The default is "0FF" with a zero; only the exact "ON" selects the network paths.
    return LectureIni(bwSys, QStringLiteral("UNC_Actif"), key, QStringLiteral("0FF")) == QLatin1String("ON")
               ? QStringLiteral("Repertoires_UNC")
               : QStringLiteral("Repertoires");
}

QString DetermineDossierConfig() {
    return programme() + QStringLiteral("Settings/KS3_Config.ini");
}

int DetermineDossierConfig_Bases_Nombre(const QString& configFile) {
    return nombre(
        LectureIni(configFile, QStringLiteral("Sites"), QStringLiteral("NbBase"), QStringLiteral("1")));
}

QString DetermineDossierConfig_Fichier(const QString& configFile, int base) {
    Procedure p("Lib_Public", "DetermineDossierConfig_Fichier");
    QString value;
    p.step(10, [&] {
        value = LectureIni(configFile, QStringLiteral("Site"), QStringLiteral("Dossier_Config_Global"));
        trace(QStringLiteral("Dossier_Config_Global: ") + value + QStringLiteral(":A"));
    });
    p.step(20, [&] {
        if (!value.trimmed().isEmpty()) {
            // The suite's files are read from this folder by appending their
            // names: without its "/" every one of them would be missed.
            value = withTrailingSlash(value);
            return;
        }
        value = withTrailingSlash(LectureIni(configFile, QStringLiteral("Base_") + deuxChiffres(base),
                                             QStringLiteral("Dossier_Config_Global"),
                                             programme() + QStringLiteral("Config/")));
        trace(QStringLiteral("Dossier_Config_Global: ") + value + QStringLiteral(":B"));
    });
    return value;
}

QString DetermineDossierConfig_Bases_Libelle(const QString& configFile, int base) {
    const QString nn = deuxChiffres(base);
    return LectureIni(configFile, QStringLiteral("Base_") + nn, QStringLiteral("Lib"),
                      QStringLiteral("Base ") + nn);
}

void DemarrageDossiersOptions() {
    Procedure p("FrmSetup", "InitGeneral");
    WorkingFolders& w = workingFolders();
    QString configFile;
    int nbBase = 1;
    p.step(10, [&] {
        if (DossierSettings().trimmed().isEmpty())
            NomDossierSettings();
    });
    p.step(20, [&] {
        configFile = DetermineDossierConfig();
        nbBase = DetermineDossierConfig_Bases_Nombre(configFile);
    });
    p.step(30, [&] { w.dossierConfigGlobal = DetermineDossierConfig_Fichier(configFile, 1); });
    p.step(40, [&] {
        w.nbStation =
            nombre(LectureIni(w.dossierConfigGlobal + QStringLiteral("KS3_Systeme.ini"),
                              QStringLiteral("Base_01"), QStringLiteral("NbStation"), QStringLiteral("1")));
    });
    p.step(50, [&] {
        // This program works on base 1 only; the other bases' labels are read
        // as the suite's windows do, and kept by nobody here.
        for (int b = 1; nbBase > 1 && b <= nbBase; ++b)
            DetermineDossierConfig_Bases_Libelle(configFile, b);
    });
    p.step(60, [&] {
        if (w.repPrg.isEmpty())
            w.repPrg = lireDossier(w.dossierConfigGlobal + QStringLiteral("BW_SYS.ini"),
                                   QStringLiteral("REPPRG"), programme());
    });
}

void InitGeneralDossiers(int slot) {
    Procedure p("FrmSetup", "InitGeneralDossiers");
    WorkingFolders& w = workingFolders();
    const int instance = programValues().noInstance;
    const QString sys = w.dossierConfigGlobal + QStringLiteral("BW_SYS.ini");
    QString computer;
    p.step(10, [&] { computer = ComputerName(); });
    p.step(20, [&] {
        if (w.repPrg.isEmpty())
            w.repPrg = lireDossier(sys, QStringLiteral("REPPRG"), programme());
    });
    p.step(30, [&] {
        w.localFolder = lireDossier(sys, QStringLiteral("REPLOCAL"), w.repPrg);
        if (slot == 0)
            trace(QStringLiteral("Local_Folder: ") + w.localFolder);
    });
    p.step(40, [&] {
        QString f = w.localFolder + QStringLiteral("Serveur_Ini/Tools_Data/") + deuxChiffres(slot);
        if (instance != 0)
            f += QStringLiteral("_Instance_") + QString::number(instance);
        w.localIniFolder = f + QLatin1Char('/');
        VerificationEtCreationRepertoire(w.localIniFolder, true);
        trace(QStringLiteral("Local_INI_Folder: ") + w.localIniFolder);
    });
    p.step(50, [&] {
        // The record files' folder belongs to the suite: it is not created here.
        w.dataFolder =
            lireDossier(sys, QStringLiteral("REPBTR"), programme() + QStringLiteral("BTRieve/Data/"));
        trace(QStringLiteral("Data_Folder: ") + w.dataFolder);
    });
    p.step(60, [&] {
        w.localDataFolder = LectureIni(
            w.localFolder + QStringLiteral("KS3_Tools_Data_Local.ini"), QStringLiteral("Local_Folder"),
            QStringLiteral("Zone_") + QString::number(slot), programme() + QStringLiteral("KS_Data/Data/"));
        VerificationEtCreationRepertoire(w.localDataFolder, true);
        trace(QStringLiteral("Local_Data_Folder: ") + w.localDataFolder);
    });
    p.step(70, [&] {
        const QString root =
            lireDossier(sys, QStringLiteral("REPLOG"), programme() + QStringLiteral("RirozIze/"));
        QString f = root + QStringLiteral("Histo_KS3_Tools_Convert/");
        if (instance != 0)
            f += QStringLiteral("Instance_") + QString::number(instance) + QLatin1Char('/');
        w.logTechFolder = f;
        VerificationEtCreationRepertoire(w.logTechFolder, true);
        if (slot == 0)
            trace(QStringLiteral("Log_Tech_Folder: ") + w.logTechFolder);
    });
    p.step(80, [&] {
        w.folderShared = lireDossier(sys, QStringLiteral("REPPARTAGE"), w.repPrg);
        if (w.folderShared.startsWith(QStringLiteral("//") + computer, Qt::CaseInsensitive))
            w.folderShared = ChangeUNCFolder2LocalFolder(slot, w.folderShared, computer);
        VerificationEtCreationRepertoire(w.folderShared, true);
        trace(QStringLiteral("Folder_Shared: ") + w.folderShared);
    });
}

QString ChangeUNCFolder2LocalFolder(int slot, const QString& path, const QString& computerName) {
    Procedure p("Lib_Public", "ChangeUNCFolder2LocalFolder");
    QString result = path;
    (void)slot;
    p.step(10, [&] {
        const QList<DiskShare> shares = ListeDesPartages();
        if (!shares.isEmpty())
            TraceLogEncadre(-1, -1, -1, QStringLiteral("Shared Paths List |UNC Path to Change: ") + path,
                            QStringLiteral("="), false);
        for (int i = 0; i < shares.size(); ++i) {
            const DiskShare& s = shares.at(i);
            if (!s.disk)
                continue;
            const QString unc = QStringLiteral("//") + computerName + QLatin1Char('/') + s.name;
            if (!path.startsWith(unc + QLatin1Char('/'), Qt::CaseInsensitive))
                continue;
            QString local = path;
            local.replace(unc, s.localPath, Qt::CaseInsensitive);
            // A share of a root folder ("/", or one given with its "/") leaves a
            // doubled separator where the two parts meet.
            while (local.contains(QLatin1String("//")))
                local.replace(QLatin1String("//"), QLatin1String("/"));
            const QString n = deuxChiffres(i);
            trace(n + QStringLiteral(": UNC: Local Path found: ") + local);
            QString probe = local;
            if (FolderFound(probe, false)) {
                trace(n + QStringLiteral(": UNC: Path change from: ") + path + QStringLiteral(" to: ") +
                      local);
                result = local;
            }
            break; // the first share that matched decides
        }
    });
    return result;
}

} // namespace ks3
