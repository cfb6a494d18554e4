#include "engine/LancerConvertV09.h"

#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "engine/AutomationObject.h"
#include "engine/ConverterOptions.h"
#include "engine/DecomposeFichier.h"
#include "engine/DeleteFile.h"
#include "engine/EngineServices.h"
#include "engine/TargetPolicy.h"
#include "settings/FolderTools.h"

#include <QFile>
#include <sys/stat.h>

namespace ks3 {

namespace {

const QString kCaller = QStringLiteral("FrmMain:LancerConvertV09");
const QString kCallerConvert = QStringLiteral("FrmMain:LancerConvertV09_Convert");
const QString kCleConvertisseur = QStringLiteral("HKEY_CURRENT_USER\\Software\\Illustrate\\dBpowerAmp");
const QString kSeparateur = QStringLiteral("---------------------");

// What tells a target written by an attempt from the one that was there
// before it: the converter writes a new file and renames it onto the name.
struct EtatFichier {
    bool existe = false;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 taille = 0;
    qint64 modifie = 0;
    bool operator==(const EtatFichier&) const = default;
};

EtatFichier etatFichier(const QString& path) {
    EtatFichier e;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return e;
    e.existe = true;
    e.device = st.st_dev;
    e.inode = st.st_ino;
    e.taille = st.st_size;
    e.modifie = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return e;
}

bool extensionEst(const QString& extension, std::initializer_list<const char*> candidates) {
    for (const char* c : candidates)
        if (extension.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// One step of an attempt. The two automation failures show their message and
// a path it cannot reach is reported: the attempt then ends (false). Any other
// failure is reported and the attempt goes on.
template <class F> bool etape(Procedure& p, int line, F&& f) {
    int arret = 0;
    p.step(line, [&] {
        try {
            f();
        } catch (const Error& e) {
            if (e.number() == kErrAutomationDisconnected || e.number() == kErrAutomationModuleNotFound) {
                arret = e.number();
                return;
            }
            if (e.number() == kErrPathFileAccess)
                arret = e.number();
            throw;
        }
    });
    if (arret == kErrAutomationDisconnected)
        AffMsg(QStringLiteral("Impossible de répérer la piste sur ce poste. (Line: 0)"), 0,
               programValues().titreFenetre);
    else if (arret == kErrAutomationModuleNotFound)
        AffMsg(QStringLiteral("Erreur Automation: veuillez-(ré)installer Music Converter (Line: 0)"), 0,
               programValues().titreFenetre);
    return arret == 0;
}

void ecrireReglages(const QString& codec, const char* bits, int valeurBits, const char* canaux,
                    int valeurCanaux, const char* frequence, int sampleRate) {
    EcrireRegistre(kCleConvertisseur, QStringLiteral("dMCLastCodec"), codec);
    EcrireRegistre(kCleConvertisseur, QLatin1String(bits), QString::number(valeurBits));
    EcrireRegistre(kCleConvertisseur, QLatin1String(canaux), QString::number(valeurCanaux));
    EcrireRegistre(kCleConvertisseur, QLatin1String(frequence), QString::number(sampleRate));
}

// The first codec of the converter whose name holds text; empty when none.
QString chercherCodec(AutomationObject& converter, const QString& text) {
    for (int index = 0;; ++index) {
        const QString name = converter.call("GetCompressions", {index}).toString();
        if (name.isEmpty())
            return QString();
        if (name.contains(text, Qt::CaseInsensitive))
            return name;
    }
}

} // namespace

int FrequenceConvertV09(bool convertVersKS) {
    if (convertVersKS)
        return 48000;
    const ConverterOptions o = currentConverterOptions();
    const int index = o.caracteristiques;
    const bool choisi = index >= 0 && index <= 3;
    switch (o.cible) {
    case 0: {
        static constexpr int kAiff[] = {44100, 48000, 96000, 192000};
        return choisi ? kAiff[index] : 44100;
    }
    case 1:
    case 8:
        return choisi ? 48000 : 44100;
    default:
        return 44100;
    }
}

void LancerConvertV09_Convert(int sampleRate, const QString& source, const QString& target) {
    Procedure p("FrmMain", "LancerConvertV09_Convert");
    AutomationObject reglages;
    AutomationObject converter;
    FichierDecompose cible;
    bool trouve = true;
    auto attempt = [&] {
        if (!etape(p, 10, [&] {
                cible = DecomposeFichier(target);
                if (!FolderFound(cible.fichierDossier, false))
                    VerificationEtCreationRepertoire(cible.fichierDossier, true);
            }))
            return;
        const QString extension = cible.fichierExtension;
        if (!etape(p, 20, [&] {
                if (extensionEst(extension, {".mp2", ".s48"}))
                    ecrireReglages(QStringLiteral("Mp2"), "DMCMP2BitRate", 256, "DMCMP2Channels", 0,
                                   "DMCMP2Freq", sampleRate);
            }))
            return;
        if (!etape(p, 30, [&] {
                if (extensionEst(extension, {".mp3"})) {
                    reglages.create(QStringLiteral("dMCScripting.mp3Settings"));
                    reglages.call("Set", {256, sampleRate, 0, 0});
                }
            }))
            return;
        if (!etape(p, 40, [&] {
                if (extensionEst(extension, {".wav", ".wave"}))
                    ecrireReglages(QStringLiteral("Wave"), "DMCWaveBits", 16, "DMCWaveChannels", 2,
                                   "DMCWaveFreq", sampleRate);
            }))
            return;
        if (!etape(p, 50, [&] {
                converter.create(QStringLiteral("dMCScripting.Converter"));
                converter.setProperty("VolumeNormalize", false);
                converter.setProperty("PreserveTags", false);
                converter.setProperty("DeleteSourceFiles", false);
                converter.setProperty("ConvertToFolder", true);
                QString dossier = cible.fichierDossier;
                if (!dossier.isEmpty() && !dossier.endsWith(QLatin1Char('/')))
                    dossier += QLatin1Char('/');
                converter.setProperty("ToFolder", dossier);
                converter.call("AddFromFile", {source});
            }))
            return;
        if (!etape(p, 60, [&] {
                const QVariantList drapeaux = {true, true, true, true};
                QString codec;
                if (extensionEst(extension, {".mp2", ".s48"})) {
                    codec = QStringLiteral("Mp2");
                } else if (extensionEst(extension, {".mp3"})) {
                    trouve = false;
                    codec = chercherCodec(converter, QStringLiteral("Mp3"));
                } else if (extensionEst(extension, {".wav", ".wave"})) {
                    trouve = false;
                    codec = chercherCodec(converter, QStringLiteral("wave"));
                }
                if (codec.isEmpty())
                    return;
                converter.call("GoConversion", QVariantList{codec} + drapeaux);
                trouve = true;
            }))
            return;
        if (!etape(p, 70, [&] {
                if (const std::function<void()>& focus = engineServices().mainWindowFocus)
                    focus();
            }))
            return;
        if (!trouve)
            return;
        bool erreurs = false;
        if (!etape(p, 80, [&] {
                erreurs = converter.call("WasConvError").toBool();
                if (!erreurs)
                    return;
                for (int index = 0;; ++index) {
                    const QString text = converter.call("GetConversionError", {index}).toString();
                    if (text.isEmpty())
                        break;
                    TraceLog(-1, -1, -1, kSeparateur);
                    TraceLog(-1, -1, -1, text);
                    TraceLog(-1, -1, -1, kSeparateur);
                    DoEvents();
                }
            }))
            return;
        if (erreurs || !extensionEst(extension, {".s48"}))
            return;
        etape(p, 90, [&] {
            // The converter names its output after its codec: the ".mp2" file
            // takes the target's name.
            DoEvents();
            const FichierDecompose c = DecomposeFichier(target);
            DoEvents();
            const QString mp2 = c.fichierDossier + c.fichierNom + QStringLiteral(".mp2");
            if (!File_Exist(mp2, kCallerConvert))
                return;
            if (File_Exist(target, kCallerConvert))
                File_Delete(target, kCallerConvert);
            DoEvents();
            if (!File_Exist(target, kCallerConvert))
                File_Rename(mp2, target, 1024, 0, kCallerConvert);
        });
    };
    attempt();
    reglages.release();
    converter.release();
}

void LancerConvertV09(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS) {
    Q_UNUSED(idEntete);
    Q_UNUSED(dateFichierSource);
    Q_UNUSED(tailleFichierSource);
    Procedure p("FrmMain", "LancerConvertV09");
    const TargetPolicySettings policy = currentTargetPolicySettings();
    bool garde = false;
    p.step(10, [&] { garde = policy.nePasConvertir && File_Exist(target, kCaller); });
    if (garde)
        return;
    p.step(20, [&] {
        TraceLog(-1, -1, -1, QStringLiteral("Convert: Source file: ") + source);
        TraceLog(-1, -1, -1, QStringLiteral("Convert: Target file: ") + target);
    });
    int sampleRate = 44100;
    p.step(30, [&] {
        sampleRate = FrequenceConvertV09(convertVersKS);
        DoEvents();
    });
    QString fichier = source;
    for (int echecs = 0;;) {
        // A target that was there before the attempt and that the attempt did
        // not replace is not its result.
        EtatFichier avant;
        p.step(35, [&] { avant = etatFichier(target); });
        p.step(40, [&] {
            LancerConvertV09_Convert(sampleRate, fichier, target);
            DoEvents();
        });
        bool reussi = false;
        p.step(50, [&] {
            reussi = File_Exist(target, kCaller, true) && etatFichier(target) != avant;
            if (reussi && !convertVersKS && policy.detruireSource)
                DeleteFile(fichier, kCaller);
        });
        if (reussi)
            return;
        p.step(60, [&] {
            // Only a target left empty by this attempt: an earlier one stays.
            if (!convertVersKS && File_Exist(target, kCaller) && TailleDuFichier(target) == 0)
                DeleteFile(target, kCaller);
        });
        ++echecs;
        FichierDecompose parts;
        p.step(70, [&] { parts = DecomposeFichier(fichier); });
        if (echecs == 2)
            return;
        bool encore = false;
        p.step(80, [&] {
            if (!extensionEst(parts.fichierExtension, {".mp3", ".mp2"}))
                return;
            const QString wav = parts.fichierDossier + parts.fichierNom + QStringLiteral(".wav");
            if (File_Exist(wav, kCaller))
                return;
            File_Rename(fichier, wav, 1024, 0, kCaller);
            fichier = wav;
            encore = true;
        });
        if (!encore)
            return;
    }
}

} // namespace ks3
