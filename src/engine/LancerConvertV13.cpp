#include "engine/LancerConvertV13.h"

#include "common/Clock.h"
#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "engine/ConversionEnCours.h"
#include "engine/ConversionHistory.h"
#include "engine/ConverterCommand.h"
#include "engine/DecomposeFichier.h"
#include "engine/DeleteFile.h"
#include "engine/ExternalProcess.h"
#include "engine/RunState.h"
#include "engine/StalePartials.h"
#include "engine/TargetPolicy.h"
#include "settings/FolderTools.h"

namespace ks3 {

namespace {
const QString kCaller = QStringLiteral("FrmMain:LancerConvertV13");
} // namespace

void LancerConvertV13(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS) {
    Procedure p("FrmMain", "LancerConvertV13");
    const TargetPolicySettings policy = currentTargetPolicySettings();
    if (policy.nePasConvertir && File_Exist(target, kCaller))
        return;

    RunState& s = runState();
    QString statut = QStringLiteral("O");
    QString message;
    const QDateTime debut = clock().now();
    QString cibleEffective = target;
    bool convert = true;
    QString fichierErreur;

    // A target that the converter of this very source finished just before the
    // program was stopped, too early to record it: it is the conversion.
    QString dejaEcrite;
    if (!convertVersKS)
        p.step(15,
               [&] { dejaEcrite = CibleDejaEcrite(target, source, dateFichierSource, tailleFichierSource); });
    if (!dejaEcrite.isEmpty()) {
        cibleEffective = dejaEcrite;
        convert = false;
        appendLine(s.listeFichiersCible, QStringLiteral("Conversion interrompue, cible déjà écrite: '") +
                                             dejaEcrite + QLatin1Char('\''));
    } else {
        p.step(20, [&] {
            const TargetDecision d = applyTargetPolicy(source, target, convertVersKS, policy);
            for (const QString& line : d.lines)
                appendLine(s.listeFichiersCible, line);
            cibleEffective = d.cibleEffective;
            convert = d.convert;
            if (!d.failure.isEmpty()) {
                statut = QStringLiteral("N");
                message = d.failure;
            }
        });
    }

    if (convert) {
        ConverterCommand command;
        p.step(30, [&] {
            const FichierDecompose parts = DecomposeFichier(cibleEffective);
            const QString errorFolder = parts.fichierDossier + QStringLiteral("Err_Convert/");
            VerificationEtCreationRepertoire(errorFolder, true);
            fichierErreur = errorFolder + parts.fichierNom + QStringLiteral(".Log");
            RemoveStalePartials(parts.fichierDossier);
            if (!convertVersKS)
                NoterConversionEnCours(target, source, dateFichierSource, tailleFichierSource,
                                       cibleEffective);
            command = buildConverterCommand(programValues().cheminConvertisseur, source, cibleEffective,
                                            fichierErreur, currentConverterOptions(), convertVersKS);
        });
        p.step(40, [&] {
            TraceLog(-1, -1, -1, command.text);
            AttenteFinProcessusExterne(command.program, command.arguments, kAttenteConvertisseurMaxMs,
                                       policy.convertVoirFenetre);
        });
    }

    QString aConvertir = QStringLiteral("N");
    p.step(50, [&] {
        if (!File_Exist(cibleEffective, kCaller)) {
            statut = QStringLiteral("N");
            message = QStringLiteral("Fichier '") + cibleEffective +
                      QStringLiteral("' non trouvé après la conversion");
            aConvertir = QStringLiteral("O");
        }
    });
    p.step(60, [&] {
        const QDateTime fin = clock().now();
        EnregistrerTentative(idEntete, dateFichierSource, debut, fin, tailleFichierSource, statut, message,
                             aConvertir);
    });
    p.step(70, [&] {
        if (statut != QLatin1String("O"))
            return;
        if (!convertVersKS)
            s.noteCibleEcrite(cibleEffective, source);
        if (!convertVersKS && policy.detruireSource)
            DeleteFile(source, kCaller);
        if (!fichierErreur.isEmpty() && File_Exist(fichierErreur, kCaller) &&
            TailleDuFichier(fichierErreur) == 0)
            DeleteFile(fichierErreur, kCaller);
    });
    if (!convertVersKS)
        p.step(80, [&] { OublierConversionEnCours(target); });
}

} // namespace ks3
