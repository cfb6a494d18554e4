#include "runtime/HistoryConsole.h"

#include "common/NomFichierSettings.h"
#include "common/ProgramFolders.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "history/DetailHistorique.h"
#include "history/RechercheHistorique.h"
#include "settings/OptionsLoader.h"
#include "store/CatalogueTables.h"
#include "store/RecordFiles.h"

#include <QDir>
#include <QFileInfo>

namespace ks3 {

namespace {

void ecrire(std::FILE* f, const QStringList& cellules) {
    const QByteArray ligne = cellules.join(QLatin1Char('\t')).toUtf8() + '\n';
    std::fwrite(ligne.constData(), 1, size_t(ligne.size()), f);
}

// What the window finds at start-up: the instance, its settings and working
// folders, the record files of its data folder.
void ouvrir(const QString& executablePath, const CommandLineOptions& options) {
    DeterminerDossiersProgramme(executablePath);
    if (!options.rest.trimmed().isEmpty())
        AnalyseChaineCommand(options.rest);
    if (DossierSettings().trimmed().isEmpty())
        NomDossierSettings();
    ChargerOptions();
    InitGeneralData();
    PervasiveOuvertureFichiers(0, 1, workingFolders().nbStation);
}

void fermer() {
    PervasiveFermetureFichiers();
    TraceLogForce(traceLists().listeLog);
}

} // namespace

int HistoriqueConsole(const QString& executablePath, const CommandLineOptions& options, std::FILE* out,
                      std::FILE* err) {
    if (options.historyDetail) {
        ouvrir(executablePath, options);
        ecrire(out, {QStringLiteral("Index"), QStringLiteral("Date Fichier"), QStringLiteral("Taille"),
                     QStringLiteral("Debut Convert"), QStringLiteral("Fin Convert"), QStringLiteral("Ok"),
                     QStringLiteral("Libellé")});
        ListerDetails(options.historyId, QStringLiteral("FrmHisto:ListViewRechercheMaitre_DblClick"),
                      [&](const LigneDetail& l) {
                          ecrire(out, {l.index, l.dateFichier, l.taille, l.debut, l.fin, l.ok, l.libelle});
                      });
        fermer();
        return 0;
    }
    const std::optional<TypeRecherche> type = TypeRechercheNomme(options.historyType);
    if (!type) {
        std::fprintf(err, "KS3_Tools_Convert: unknown search type %s (Date, Fichier or Erreurs)\n",
                     options.historyType.toUtf8().constData());
        return 2;
    }
    if (!BornesDeRecherche(*type, options.historyText)) {
        std::fprintf(err, "%s\n", kFormatDateNonValide.toUtf8().constData());
        return 2;
    }
    ouvrir(executablePath, options);
    ecrire(out, {QStringLiteral("Fichier"), QStringLiteral("Dossier"), QStringLiteral("Date traitement"),
                 QStringLiteral("Date fichier"), QStringLiteral("Id")});
    RechercherEntetes(*type, options.historyText, QStringLiteral("FrmHisto:BtnRecherche_Click"),
                      [&](const LigneEntete& l) {
                          ecrire(out, {l.fichier, l.dossier, l.dateTraitement, l.dateFichier, l.id});
                      });
    fermer();
    return 0;
}

} // namespace ks3
