#include "runtime/Startup.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/NomFichierSettings.h"
#include "common/PathText.h"
#include "common/ProgramFolders.h"
#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/VersionApplication.h"
#include "common/WorkingFolders.h"
#include "engine/RunState.h"
#include "runtime/CommandLine.h"
#include "runtime/Services.h"
#include "settings/InitGeneralSysteme.h"
#include "settings/OptionsLoader.h"
#include "settings/Settings.h"
#include "store/RecordFiles.h"
#include "udp/CodeVersionOS.h"
#include "udp/LabelDataArrivalUDP_Change.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

namespace ks3 {

namespace {
// Where a converter is installed: the registered application path, the
// program's own folder, then PATH.
QString converterFolder(const QString& exeName) {
    const QString registered = LireRegistre(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
            exeName + QStringLiteral(".exe"),
        QStringLiteral("Path"));
    if (!registered.trimmed().isEmpty())
        return withTrailingSlash(registered.trimmed());
    if (QFileInfo::exists(programValues().dossierProgramme + exeName))
        return programValues().dossierProgramme;
    const QString onPath = QStandardPaths::findExecutable(exeName);
    if (!onPath.isEmpty())
        return withTrailingSlash(QFileInfo(onPath).absolutePath());
    return programValues().dossierProgramme;
}

std::unique_ptr<QLockFile>& instanceLock() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}
} // namespace

bool ConvertSonDetermineVersion(bool& commandLineKind, QString& converterPath, bool showMessage) {
    Procedure p("Lib_Public", "ConvertSonDetermineVersion");
    bool found = false;
    const QString caller = QStringLiteral("Lib_Public:ConvertSonDetermineVersion");
    p.step(10, [&] {
        const QString core =
            converterFolder(QStringLiteral("CoreConverter")) + QStringLiteral("CoreConverter");
        converterPath = core;
        if (File_Exist(core, caller)) {
            commandLineKind = true;
            found = true;
            return;
        }
        const QString music =
            converterFolder(QStringLiteral("MusicConverter")) + QStringLiteral("MusicConverter");
        converterPath = music;
        if (File_Exist(music, caller)) {
            commandLineKind = false;
            found = true;
        }
    });
    if (!found && showMessage)
        p.step(20, [&] {
            AffMsg(QStringLiteral(
                       "dBPowerAmp n'est pas installé sur ce poste. Le Converter ne peut fonctionner"),
                   16, programValues().titreFenetre);
        });
    return found;
}

void ChargerFenetreOptions() {
    if (const std::function<void()>& loader = services().optionsWindowLoader)
        loader();
    else
        ChargerOptions();
}

bool DemarrageProgramme(const QString& executablePath, const QString& commandLine) {
    Procedure p("FrmMain", "Form_Load");
    ProgramValues& v = programValues();
    RunState& s = runState();
    bool converterFound = false;
    p.step(10, [&] {
        // Held for the life of the process; its state is never tested, several
        // copies may run.
        auto& lock = instanceLock();
        lock = std::make_unique<QLockFile>(QDir::tempPath() + QStringLiteral("/Kestrel 3.4.lock"));
        lock->setStaleLockTime(0);
        lock->tryLock(0);
    });
    p.step(20, [&] { TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Load: Start")); });
    p.step(30, [&] { DeterminerDossiersProgramme(executablePath); });
    p.step(40, [&] {
        if (!commandLine.trimmed().isEmpty())
            AnalyseChaineCommand(commandLine);
        else
            v.noInstance = 0;
    });

    // InitGeneral
    Procedure g("FrmMain", "InitGeneral");
    g.step(10, [&] { v.titreFenetre = QStringLiteral("Kestrel: Tools Convert - ") + VersionApplication(); });
    g.step(30, [&] {
        s.setLabel(RunState::LabelDossierSourceEnCours, QString());
        s.setLabel(RunState::LabelDossierSourceTraite, QString());
        s.setLabel(RunState::LabelDossierCibleEnCours, QString());
        s.setLabel(RunState::LabelDossierCibleTraite, QString());
    });
    g.step(40, [&] {
        v.formatDate = QStringLiteral("dd/MM/yyyy");
        v.formatHeure = QStringLiteral("HH:MM:SS");
        QString shortDate = v.formatDate;
        shortDate.replace(QStringLiteral("yyyy"), QStringLiteral("yy"), Qt::CaseInsensitive);
        v.formatDateCourt = shortDate;
        QString shortTime = v.formatHeure;
        shortTime.remove(QLatin1Char('s'), Qt::CaseInsensitive);
        v.formatHeureCourt = shortTime;
    });
    g.step(60, [&] {
        if (DossierSettings().trimmed().isEmpty())
            NomDossierSettings();
    });
    // The socket back-end of the UDP rows, for the whole run.
    g.step(65, [] { LireCodeVersionOS(); });
    // Requests received on the rows bound from now on are handled.
    g.step(67, [] { InstallerGestionnaireUDP(); });
    g.step(70, [&] { ChargerFenetreOptions(); });
    g.step(80, [&] {
        InitGeneralData();
        PervasiveOuvertureFichiers(0, 1, workingFolders().nbStation);
    });
    g.step(90, [&] { s.setProchaineConversion(clock().now().addSecs(500)); });
    g.step(100, [&] { s.timerActif = true; });
    g.step(110, [&] {
        converterFound =
            ConvertSonDetermineVersion(v.convertisseurLigneCommande, v.cheminConvertisseur, true);
    });
    if (!converterFound) {
        g.step(120, [&] {
            AffMsg(QStringLiteral("dBPowerAmp non installé sur ce poste.\n\n"
                                  "Veuillez l'installer avant d'utiliser ce programme"),
                   16, v.titreFenetre);
        });
        return false;
    }
    g.step(130, [&] { InitGeneralSysteme(); });

    p.step(50, [&] {
        TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Load: End"));
        settings().setSetupModifie(false);
    });
    return true;
}

void ArretProgramme(const std::function<void()>& dechargerOptions) {
    Procedure p("FrmMain", "Form_Unload");
    p.step(10, [&] { TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Unload: End")); });
    p.step(20, [&] { TraceLogForce(traceLists().listeLog); });
    p.step(25, [&] {
        if (dechargerOptions)
            dechargerOptions();
    });
    p.step(30, [&] { PervasiveFermetureFichiers(); });
    // The lines traced after the flush (the options window's unload, the
    // record files closed) would be lost with the process otherwise; once the
    // options window is unloaded they wait in the list of the main window.
    p.step(40, [&] {
        TraceLogForce(traceLists().listeLog);
        TraceLogForce(traceLists().listeLogTemp);
    });
}

} // namespace ks3
