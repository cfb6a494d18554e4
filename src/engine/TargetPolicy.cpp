#include "engine/TargetPolicy.h"

#include "common/DoEvents.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/SameFile.h"
#include "engine/DecomposeFichier.h"
#include "engine/DeleteFile.h"
#include "engine/RunState.h"
#include "settings/Settings.h"

namespace ks3 {

namespace {
const QString kCaller = QStringLiteral("FrmMain:LancerConvertV13");

// Deletes the target; on failure the attempt fails and the converter does not run.
void replaceTarget(const QString& target, TargetDecision& d) {
    DeleteFile(target, kCaller);
    if (File_Exist(target, kCaller)) {
        const QString text =
            QStringLiteral("Impossible de détruire le fichier '") + target + QLatin1Char('\'');
        d.lines << text;
        d.failure = text;
        d.convert = false;
    }
}

// The converter must write the first "name(n).ext" that does not exist.
void indexTarget(const QString& target, TargetDecision& d) {
    const FichierDecompose parts = DecomposeFichier(target);
    for (int n = 1;; ++n) {
        const QString candidate = parts.fichierDossier + parts.fichierNom + QLatin1Char('(') +
                                  QString::number(n) + QLatin1Char(')') + parts.fichierExtension;
        if (!File_Exist(candidate, kCaller) && !runState().ciblesEnCours.contains(candidate)) {
            d.cibleEffective = candidate;
            d.lines << QStringLiteral("Fichier réindexé: ") + candidate;
            return;
        }
        DoEvents();
    }
}
} // namespace

TargetPolicySettings currentTargetPolicySettings() {
    const Settings& s = settings();
    TargetPolicySettings t;
    t.nePasConvertir = s.isOn(SettingId::FichiersCiblesNePasConverir);
    t.cibleExistant = s.number(SettingId::FichiersCibleExistant);
    t.convertVoirFenetre = s.isOn(SettingId::FichiersConvertVoirFenetre);
    t.detruireSource = s.isOn(SettingId::FichiersSourcesDetruire);
    return t;
}

TargetDecision applyTargetPolicy(const QString& source, const QString& target, bool udpRequest,
                                 const TargetPolicySettings& settings) {
    TargetDecision d;
    d.cibleEffective = target;
    // Replacing this "existing target" would delete the sound before reading it.
    if (SameFile(source, target)) {
        const QString text = QStringLiteral("Cible identique au fichier source, conversion refusée: '") +
                             target + QLatin1Char('\'');
        d.lines << text;
        d.failure = text;
        d.convert = false;
        return d;
    }
    if (!File_Exist(target, kCaller))
        return d;
    if (udpRequest) {
        replaceTarget(target, d);
        return d;
    }
    // Two sources of one target in a run ("a.wav" and "a.mp3"): the second one
    // must not replace the sound of the first, whose source may be gone already.
    const QString premiereSource = runState().sourceDeLaCible(target);
    if (!premiereSource.isEmpty() && !SameFile(premiereSource, source)) {
        d.lines << QStringLiteral("Le fichier '") + target +
                       QStringLiteral("' vient d'être converti depuis '") + premiereSource +
                       QStringLiteral("'. Il doit être indexé");
        indexTarget(target, d);
        return d;
    }
    switch (settings.cibleExistant) {
    case 0:
        d.lines << QStringLiteral("Le fichier '") + target +
                       QStringLiteral("' existe déjà. Il doit être écrasé");
        replaceTarget(target, d);
        break;
    case 1: {
        d.lines << QStringLiteral("Le fichier '") + target +
                       QStringLiteral("' existe déjà. Il doit être indexé");
        indexTarget(target, d);
        break;
    }
    case 2: {
        const int answer =
            AffMsg(QStringLiteral("Voulez-vous écraser le ficher '") + target + QStringLiteral("' ?"), 32 + 4,
                   programValues().titreFenetre);
        if (answer == 6) {
            d.lines << QStringLiteral("Le fichier '") + target +
                           QStringLiteral("' existe déjà. Il doit être écrasé");
            replaceTarget(target, d);
        } else {
            const QString text =
                QStringLiteral("Destruction du fichier '") + target + QStringLiteral("' refusée");
            d.lines << text;
            d.failure = text;
            d.convert = false;
        }
        break;
    }
    case 3: {
        const QString text =
            QStringLiteral("Le fichier '") + target + QStringLiteral("' existe déjà. Il ne peut être écrasé");
        d.lines << text;
        d.failure = text;
        d.convert = false;
        break;
    }
    default:
        break; // nothing selected: the converter runs on the existing target
    }
    return d;
}

} // namespace ks3
