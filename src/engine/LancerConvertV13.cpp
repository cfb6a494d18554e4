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

#include <QProcess>

namespace ks3 {

namespace {
const QString kCaller = QStringLiteral("FrmMain:LancerConvertV13");
} // namespace

// One attempt from the policy to the clean-up; the converter is started in
// between, and waited for by the caller.
struct ConversionV13::Etat {
    QString idEntete, source, target;
    QDateTime dateFichierSource;
    qint64 tailleFichierSource = 0;
    bool convertVersKS = false;
    TargetPolicySettings policy;
    QString statut = QStringLiteral("O");
    QString message;
    QDateTime debut;
    QString cibleEffective;
    bool convert = true;
    QString fichierErreur;
    ConverterCommand command;
};

ConversionV13::ConversionV13(const QString& idEntete, const QString& source, const QString& target,
                             const QDateTime& dateFichierSource, qint64 tailleFichierSource,
                             bool convertVersKS)
    : e_(std::make_unique<Etat>()) {
    e_->idEntete = idEntete;
    e_->source = source;
    e_->target = target;
    e_->dateFichierSource = dateFichierSource;
    e_->tailleFichierSource = tailleFichierSource;
    e_->convertVersKS = convertVersKS;
    e_->policy = currentTargetPolicySettings();
    e_->cibleEffective = target;
}

ConversionV13::~ConversionV13() = default;

bool ConversionV13::preparer() {
    Procedure p("FrmMain", "LancerConvertV13");
    Etat& e = *e_;
    if (e.policy.nePasConvertir && File_Exist(e.target, kCaller))
        return false;
    RunState& s = runState();
    e.debut = clock().now();
    // A target that the converter of this very source finished just before the
    // program was stopped, too early to record it: it is the conversion.
    QString dejaEcrite;
    if (!e.convertVersKS)
        p.step(15, [&] {
            dejaEcrite = CibleDejaEcrite(e.target, e.source, e.dateFichierSource, e.tailleFichierSource);
        });
    if (!dejaEcrite.isEmpty()) {
        e.cibleEffective = dejaEcrite;
        e.convert = false;
        appendLine(s.listeFichiersCible, QStringLiteral("Conversion interrompue, cible déjà écrite: '") +
                                             dejaEcrite + QLatin1Char('\''));
    } else {
        p.step(20, [&] {
            const TargetDecision d = applyTargetPolicy(e.source, e.target, e.convertVersKS, e.policy);
            for (const QString& line : d.lines)
                appendLine(s.listeFichiersCible, line);
            e.cibleEffective = d.cibleEffective;
            e.convert = d.convert;
            if (!d.failure.isEmpty()) {
                e.statut = QStringLiteral("N");
                e.message = d.failure;
            }
        });
    }
    if (e.convert)
        p.step(30, [&] {
            const FichierDecompose parts = DecomposeFichier(e.cibleEffective);
            const QString errorFolder = parts.fichierDossier + QStringLiteral("Err_Convert/");
            VerificationEtCreationRepertoire(errorFolder, true);
            e.fichierErreur = errorFolder + parts.fichierNom + QStringLiteral(".Log");
            RemoveStalePartials(parts.fichierDossier);
            if (!e.convertVersKS)
                NoterConversionEnCours(e.target, e.source, e.dateFichierSource, e.tailleFichierSource,
                                       e.cibleEffective);
            e.command = buildConverterCommand(programValues().cheminConvertisseur, e.source, e.cibleEffective,
                                              e.fichierErreur, currentConverterOptions(), e.convertVersKS);
        });
    return true;
}

bool ConversionV13::convertit() const {
    return e_->convert;
}

const QString& ConversionV13::cibleEffective() const {
    return e_->cibleEffective;
}

void ConversionV13::attendre() {
    Procedure p("FrmMain", "LancerConvertV13");
    p.step(40, [&] {
        TraceLog(-1, -1, -1, e_->command.text);
        AttenteFinProcessusExterne(e_->command.program, e_->command.arguments, kAttenteConvertisseurMaxMs,
                                   e_->policy.convertVoirFenetre);
    });
}

void ConversionV13::demarrer() {
    Procedure p("FrmMain", "LancerConvertV13");
    p.step(40, [&] {
        TraceLog(-1, -1, -1, e_->command.text);
        process_ = DemarrerProcessusExterne(e_->command.program, e_->command.arguments,
                                            e_->policy.convertVoirFenetre);
        debutAttente_ = GetTickCount64();
    });
}

bool ConversionV13::enCours() {
    if (!process_ || process_->state() == QProcess::NotRunning)
        return false;
    if (GetTickCount64() - debutAttente_ > std::uint64_t(kAttenteConvertisseurMaxMs)) {
        // As a wait that lasts too long: traced, the converter left to itself.
        TraceLog(-1, -1, -1,
                 QStringLiteral("Err: AttenteFinProcessusExterne: Too long waiting |Max: ") +
                     QString::number(kAttenteConvertisseurMaxMs) + QStringLiteral(" ms"));
        process_ = nullptr;
        return false;
    }
    return true;
}

void ConversionV13::terminer() {
    Procedure p("FrmMain", "LancerConvertV13");
    Etat& e = *e_;
    RunState& s = runState();
    QString aConvertir = QStringLiteral("N");
    p.step(50, [&] {
        if (!File_Exist(e.cibleEffective, kCaller)) {
            e.statut = QStringLiteral("N");
            e.message = QStringLiteral("Fichier '") + e.cibleEffective +
                        QStringLiteral("' non trouvé après la conversion");
            aConvertir = QStringLiteral("O");
        }
    });
    p.step(60, [&] {
        const QDateTime fin = clock().now();
        EnregistrerTentative(e.idEntete, e.dateFichierSource, e.debut, fin, e.tailleFichierSource, e.statut,
                             e.message, aConvertir);
    });
    p.step(70, [&] {
        if (e.statut != QLatin1String("O"))
            return;
        if (!e.convertVersKS)
            s.noteCibleEcrite(e.cibleEffective, e.source);
        if (!e.convertVersKS && e.policy.detruireSource)
            DeleteFile(e.source, kCaller);
        if (!e.fichierErreur.isEmpty() && File_Exist(e.fichierErreur, kCaller) &&
            TailleDuFichier(e.fichierErreur) == 0)
            DeleteFile(e.fichierErreur, kCaller);
    });
    if (!e.convertVersKS)
        p.step(80, [&] { OublierConversionEnCours(e.target); });
}

void LancerConvertV13(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS) {
    ConversionV13 c(idEntete, source, target, dateFichierSource, tailleFichierSource, convertVersKS);
    if (!c.preparer())
        return;
    if (c.convertit())
        c.attendre();
    c.terminer();
}

} // namespace ks3
