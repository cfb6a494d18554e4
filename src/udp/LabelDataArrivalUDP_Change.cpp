#include "udp/LabelDataArrivalUDP_Change.h"

#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/TraceLog.h"
#include "common/TrimSpaces.h"
#include "engine/CompareFichierEtDonnees.h"
#include "engine/DecomposeFichier.h"
#include "platform/Btrcall.h"
#include "settings/Settings.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/RecordBuffers.h"
#include "udp/CategorieMorceau.h"
#include "udp/CodeMorceauValide.h"
#include "udp/DetermineDossierSon.h"
#include "udp/DureeSon.h"
#include "udp/EnergieLit.h"
#include "udp/EnregistrementsSonLivre.h"
#include "udp/ExtraireBalise.h"
#include "udp/FileTraitementsUDP.h"
#include "udp/Frm_MainBis.h"
#include "udp/InformationsFichier.h"
#include "udp/LancerConversionVersKS.h"
#include "udp/UdpRows.h"
#include "udp/VerifieNoDrive.h"

namespace ks3 {

namespace {

const QString& appelant() {
    static const QString o = QStringLiteral("FrmSetup:LabelDataArrivalUDP_Change");
    return o;
}

void trace(int index, const QString& texte) {
    TraceLog(index, -1, -1, texte);
}

// The song code as the records hold it: padded with spaces or cut to 8.
QString codeHuit(const QString& song) {
    return song.leftJustified(8, QLatin1Char(' '), true);
}

} // namespace

void LabelDataArrivalUDP_Change(int Index, const QString& message) {
    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    if (trimSpaces(message).isEmpty())
        return;

    QString action;
    QString song;
    QString soundFile;
    p.step(40, [&] {
        trace(Index, QStringLiteral("UDP: Receipt: ") + message);
        action = ExtraireBalise(message, QStringLiteral("<Do:"));
        song = ExtraireBalise(message, QStringLiteral("<Song:"));
        if (trimSpaces(song).isEmpty())
            song = ExtraireBalise(message, QStringLiteral("<SongId:"));
        // The article is part of the message and not used here.
        if (trimSpaces(ExtraireBalise(message, QStringLiteral("<Article:"))).isEmpty())
            ExtraireBalise(message, QStringLiteral("<ArticleId:"));
        soundFile = ExtraireBalise(message, QStringLiteral("<SoundFile:"));
    });
    // The song code goes into file names: a code that would name a file
    // elsewhere than in the sound folders is refused before anything is touched.
    if (!CodeMorceauValide(song)) {
        p.step(45, [&] { trace(Index, QStringLiteral("UDP: Err: Invalid song code: ") + song); });
        return;
    }

    if (trimSpaces(action).isEmpty())
        return;
    p.step(50, [&] { trace(Index, QStringLiteral("UDP: Action: ") + action); });
    if (action.compare(QLatin1String("Convert"), Qt::CaseInsensitive) != 0) {
        p.step(55, [&] { trace(Index, QStringLiteral("UDP: Unknow action: ") + action); });
        return;
    }

    bool existe = false;
    p.step(60, [&] { existe = File_Exist(soundFile, appelant()); });
    if (!existe) {
        p.step(65, [&] { trace(Index, QStringLiteral("UDP: Err: File not found: ") + soundFile); });
        return;
    }

    // The sound folder of the song.
    int categorie = 0;
    QString slot = QStringLiteral("0");
    QString dossier;
    p.step(70, [&] {
        categorie = CategorieMorceau(song);
        QString cle = song;
        BTRieve(0, btr::OpGetEqual, cle, 0, EnregMorceauMagneto::NoFichier, 1, appelant());
        const QString lu = btrRequest().BtrStatut == 0
                               ? enregMorceauMagneto().rawText(EnregMorceauMagneto::NoDriveChamp)
                               : QStringLiteral("0");
        slot = VerifieNoDrive(categorie, lu, song, appelant());
        dossier = DetermineDossierSon(categorie, slot.toInt());
    });
    // Without a sound folder the target would be a bare name, written in
    // whatever folder the program runs in.
    if (dossier.isEmpty()) {
        p.step(75, [&] { trace(Index, QStringLiteral("UDP: Err: No sound folder for the song: ") + song); });
        return;
    }

    // The sound under the song's name, beside the source.
    p.step(80, [&] {
        const FichierDecompose f = DecomposeFichier(soundFile);
        if (trimSpaces(f.fichierNom) == trimSpaces(song))
            return;
        const QString copie = f.fichierDossier + trimSpaces(song) + f.fichierExtension;
        if (File_Copy(soundFile, copie, 4740))
            soundFile = copie;
    });

    QString source = soundFile;
    const QString target = dossier + trimSpaces(song) + QStringLiteral(".s48");
    song = codeHuit(song);

    // Converted again only when the history says the source changed.
    bool conversionRequise = false;
    QString idEntete;
    QDateTime dateSource;
    qint64 tailleSource = 0;
    p.step(100, [&] {
        CompareFichierEtDonnees(source, target, conversionRequise, idEntete, dateSource, tailleSource);
    });
    if (conversionRequise) {
        QString temporaire;
        p.step(111, [&] {
            // The converter tells the format by the extension it reads: a sound
            // already in the suite's format goes in as ".mp2".
            const FichierDecompose f = DecomposeFichier(source);
            if (f.fichierExtension.toLower() != QLatin1String(".s48"))
                return;
            const QString copie = f.fichierDossier + f.fichierNom + QStringLiteral(".mp2");
            if (File_Copy(source, copie, 4740)) {
                temporaire = copie;
                source = copie;
            }
        });
        p.step(112, [&] { LancerConversionVersKS(idEntete, source, target, dateSource, tailleSource); });
        p.step(113, [&] {
            if (temporaire.isEmpty())
                return;
            if (File_Exist(temporaire, appelant())) {
                // A request for the delivered sound itself: the conversion
                // deleted it as its old target. When it made no new one, the
                // copy is the only sound left and takes its name back.
                if (!File_Exist(soundFile, appelant()))
                    File_Rename(temporaire, soundFile, 0, 0, appelant());
                else
                    File_Delete(temporaire, appelant());
            }
            source = soundFile;
        });
    }

    bool cible = false;
    p.step(120, [&] { cible = File_Exist(target, appelant()); });
    if (!cible)
        return;

    InformationFichier info;
    p.step(130, [&] { InformationsFichier(target, info, false, true); });
    if (info.taille < 1)
        return;
    SonLivre son;
    son.song = song;
    son.slot = slot;
    son.taille = info.taille;
    son.duree = DureeDepuisTaille(info.taille);

    p.step(140, [&] {
        trace(Index, song + QStringLiteral(": Delete Ptx: Before Update FRADx31"));
        SupprimerPointeursSon(song);
        trace(Index, song + QStringLiteral(": Delete Ptx: After Update FRADx31"));
        DoEvents();
    });
    p.step(150, [&] {
        trace(Index, song + QStringLiteral(": Before Update FRADx26"));
        MettreAJourMagnetoSon(song, son.duree);
        trace(Index, song + QStringLiteral(": After Update FRADx26"));
        DoEvents();
    });
    p.step(160, [&] { MettreAJourBibliothequeSon(son); });

    p.step(170, [&] {
        std::int32_t nombre = 0;
        QByteArray niveaux;
        EnergieLit(nombre, target, son.duree.millisecondes, niveaux, appelant());
    });

    p.step(180, [&] {
        if (trimSpaces(song).isEmpty() || !MorceauConnuStation1(song))
            return;
        const Settings& s = settings();
        for (int k = 0; k < Frm_MainBis::kNombreLignes; ++k) {
            const QString adresse = trimSpaces(s.text(SettingId::UdpOutIP, k));
            if (adresse.isEmpty() || adresse == QLatin1String("127.0.0.1") ||
                trimSpaces(s.text(SettingId::UdpOutPort, k)).isEmpty())
                continue;
            SendMessageUDP(k, QStringLiteral("<Info:Changed><Song:") + song + QLatin1Char('>'));
        }
    });
}

FileTraitementsUDP& traitementsUDP() {
    static FileTraitementsUDP file(
        [](int index, const QString& texte) { LabelDataArrivalUDP_Change(index, texte); });
    return file;
}

void InstallerGestionnaireUDP() {
    frmMainBis().setGestionnaireCommande(
        [](int index, const QString& texte) { traitementsUDP().recevoir(index, texte); });
}

} // namespace ks3
