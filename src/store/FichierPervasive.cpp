#include "store/FichierPervasive.h"

#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/DefinitionFichier.h"
#include "store/ErreurBTrieve.h"
#include "store/PrintableKey.h"
#include "store/RecordBuffers.h"
#include "store/RecordManagerCall.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace ks3 {

namespace {

constexpr int kLongueurCle = 255;

QString deuxChiffres(int n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0')).right(2);
}

bool tableCreee(int noFichier) {
    return noFichier == 37 || (noFichier >= 40 && noFichier <= 49);
}

// The path as the record manager takes it: file-system bytes, ended by a zero.
QByteArray cheminCle(const QString& chemin, int longueurMin);

} // namespace

// An Open that does not answer "file not found" (12) finds something there (a
// file it cannot open is then reported by the real open).
bool FichierBtrExiste(const QString& chemin) {
    btr::PositionBlock bloc;
    std::memset(bloc.bytes, ' ', sizeof bloc.bytes);
    char tampon[1] = {0};
    std::uint32_t longueur = 0;
    QByteArray cle = cheminCle(chemin, kLongueurCle);
    const std::int16_t statut = callRecordManager(btr::OpOpen, &bloc, tampon, &longueur, cle.data(),
                                                  std::uint16_t(cle.size()), btr::OpenReadOnly);
    if (statut == btr::StatusSuccess) {
        QByteArray vide(kLongueurCle, ' ');
        callRecordManager(btr::OpClose, &bloc, tampon, &longueur, vide.data(), std::uint16_t(vide.size()), 0);
    }
    return statut != btr::StatusFileNotFound && statut != btr::StatusInvalidFileName;
}

namespace {

// A file counts as there when it was opened before in this run, or when the
// record manager finds one at its path.
bool fichierPresent(const QString& chemin) {
    const QStringList ouverts = btrieveState().listeFichiersOuverts.split(QStringLiteral("::"));
    if (ouverts.contains(chemin))
        return true;
    return FichierBtrExiste(chemin);
}

QByteArray cheminCle(const QString& chemin, int longueurMin) {
    QByteArray b = QFile::encodeName(chemin);
    b.append('\0');
    if (b.size() < longueurMin)
        b.append(QByteArray(longueurMin - b.size(), '\0'));
    return b;
}

void blocVide(btr::PositionBlock& bloc) {
    std::memset(bloc.bytes, ' ', sizeof bloc.bytes);
}

// The buffer handed to Open and Stop: the table's record buffer, or a scratch
// one for a table this program has no layout for.
struct Tampon {
    RecordBufferRef ref;
    QByteArray scratch;
    explicit Tampon(int noFichier) : ref(recordBufferOf(noFichier)) {
        if (!ref.data) {
            const int n = noFichier >= 0 && noFichier < NbTablesCatalogue
                              ? std::max(1, int(CatalogueTables()[noFichier].longueurEnreg))
                              : 1;
            scratch = QByteArray(n, ' ');
            ref = {scratch.data(), int(scratch.size())};
        }
    }
};

} // namespace

QString DossierDonneesBase(int base) {
    Q_UNUSED(base); // one record folder for every base of this workstation
    QString dossier = workingFolders().dataFolder.trimmed();
    if (dossier.isEmpty())
        dossier = DossierDonnees() + QStringLiteral("BTRieve/Data/");
    if (!dossier.endsWith(QLatin1Char('/')))
        dossier += QLatin1Char('/');
    return dossier;
}

QString NomFichierBTR(int noFichier, int indexStation) {
    if (noFichier < 0 || noFichier >= NbTablesCatalogue)
        return QString();
    const EntreeCatalogue& e = CatalogueTables()[noFichier];
    QString nom = e.nomFichier.trimmed();
    if (e.estParStation() && nom.size() >= 5)
        nom[4] = QChar(65 + indexStation);
    return nom + QStringLiteral(".bt6");
}

int CreationStructureVide(const QString& chemin) {
    Procedure p("Lib_Data_Pervasive", "CreationStructureVide");
    int statut = btr::StatusCreateIoError;
    // A file that appeared since the caller looked (another workstation or
    // instance created it meanwhile) is kept: it may already hold records.
    auto creer = [&] {
        btr::PositionBlock bloc;
        blocVide(bloc);
        DefinitionFichier& definition = btrieveState().definitionFichier;
        std::uint32_t longueur = std::uint32_t(definition.size());
        QByteArray cle = QFile::encodeName(chemin);
        statut = callRecordManager(btr::OpCreate, &bloc, definition.data(), &longueur, cle.data(),
                                   std::uint16_t(cle.size()), btr::CreateNoReplace);
    };
    p.step(10, creer);
    if (statut == btr::StatusFileNotFound)
        p.step(20, [&] {
            // A fresh workstation has no record folder yet.
            const QString dossier = QFileInfo(chemin).absolutePath();
            if (!QDir(dossier).exists() && QDir().mkpath(dossier))
                creer();
        });
    btrRequest().BtrStatut = statut;
    return statut;
}

bool OuvertureFichierBTrieve(int base, int noFichier, const QString& chemin, std::uint32_t& longueur,
                             int station, int modeOuverture) {
    Procedure p("Lib_Data_Pervasive", "OuvertureFichierBTrieve");
    BtrRequestBlock& r = btrRequest();
    BtrieveState& s = btrieveState();
    if (!adresseBtrValide(base, station, noFichier))
        return false;
    bool ouvert = false;
    p.step(10, [&] {
        // A missing file is answered 12 by the record manager.
        btr::PositionBlock bloc;
        blocVide(bloc);
        Tampon tampon(noFichier);
        QByteArray cle = cheminCle(chemin, kLongueurCle);
        std::uint32_t l = longueur;
        r.BtrStatut = callRecordManager(btr::OpOpen, &bloc, tampon.ref.data, &l, cle.data(),
                                        std::uint16_t(cle.size()), std::int16_t(modeOuverture));
        if (r.BtrStatut == 0) {
            s.BlocPosition(base, station, noFichier) = bloc;
            s.DernierLu(base, station, noFichier).clear();
            longueur = l;
            s.longueurEnreg[noFichier] = l;
            ouvert = true;
        }
    });
    if (ouvert)
        return true;
    p.step(20, [&] {
        auto& h = s.HistoriqueBtr(base);
        for (int i = NbHistoriqueBtr - 1; i > 0; --i)
            h[i] = h[i - 1];
        h[0] = QStringLiteral("File:") + deuxChiffres(noFichier) +
               (r.BtrStatut == btr::StatusFileNotFound ? QStringLiteral(" (") + chemin + QStringLiteral(")")
                                                       : QString()) +
               QStringLiteral(" Station:") + QString::number(station) + QStringLiteral(" OP:") +
               QStringLiteral("00") + QStringLiteral(" K:") + QStringLiteral("00") + QStringLiteral(" [") +
               PrintableKey(chemin) + QStringLiteral("]");
        ErreurBTrieve(base, noFichier, chemin, QStringLiteral("Lib_Data_Pervasive:OuvertureFichierBTrieve"),
                      false, false);
    });
    return false;
}

bool FermetureFichierBTrieve(int base, int noFichier, const QString& chemin, std::uint32_t& longueur,
                             int station) {
    Procedure p("Lib_Data_Pervasive", "FermetureFichierBTrieve");
    BtrRequestBlock& r = btrRequest();
    BtrieveState& s = btrieveState();
    if (!adresseBtrValide(base, station, noFichier))
        return false;
    bool ferme = false;
    p.step(10, [&] {
        // Stop takes a block of its own and releases every file of the program.
        btr::PositionBlock bloc;
        blocVide(bloc);
        Tampon tampon(noFichier);
        QByteArray cle = cheminCle(chemin, kLongueurCle);
        std::uint32_t l = longueur;
        r.BtrStatut = callRecordManager(btr::OpStop, &bloc, tampon.ref.data, &l, cle.data(),
                                        std::uint16_t(cle.size()), 0);
        if (r.BtrStatut == 0) {
            s.BlocPosition(base, station, noFichier) = bloc;
            longueur = l;
            s.longueurEnreg[noFichier] = l;
            ferme = true;
        }
    });
    if (!ferme)
        p.step(20, [&] {
            ErreurBTrieve(base, noFichier, chemin,
                          QStringLiteral("Lib_Data_Pervasive:FermetureFichierBTrieve"), false, false);
        });
    return ferme;
}

void FichierPervasiveOuvrir(int base, int premiereStation, int derniereStation, int noFichier,
                            int modeOuverture) {
    Procedure p("Lib_Data_Pervasive", "FichierPervasiveOuvrir");
    BtrieveState& s = btrieveState();
    if (noFichier < 0 || noFichier >= NbTablesCatalogue || CatalogueTables()[noFichier].estVide())
        return; // a free catalogue number has no file
    p.step(10, [&] { InitStructureFichierBTR(noFichier, true); });
    for (int station = std::max(1, premiereStation); station <= std::min(derniereStation, NbStationsMax);
         ++station) {
        if (!adresseBtrValide(base, station, noFichier))
            return;
        QString chemin;
        p.step(20, [&] {
            chemin = DossierDonneesBase(base) + NomFichierBTR(noFichier, station - 1);
            s.CheminFichierBtr(base, station, noFichier) = chemin;
            s.FichierOuvert(base, station, noFichier) = false;
        });
        p.step(30, [&] {
            if (!fichierPresent(chemin) && tableCreee(noFichier)) {
                TraceLog(-1, -1, -1,
                         QStringLiteral("File: ") + chemin +
                             QStringLiteral(" not found |Create empty structure"));
                CreationStructureVide(chemin);
            }
        });
        p.step(40, [&] {
            if (!fichierPresent(chemin))
                return;
            std::uint32_t longueur = std::uint32_t(s.definitionFichier.LongueurEnreg());
            if (OuvertureFichierBTrieve(base, noFichier, chemin, longueur, station, modeOuverture)) {
                s.FichierOuvert(base, station, noFichier) = true;
                s.listeFichiersOuverts += chemin + QStringLiteral("::");
            }
        });
    }
}

void FichierPervasiveFermer(int base, int premiereStation, int derniereStation, int noFichier) {
    Procedure p("Lib_Data_Pervasive", "FichierPervasiveFermer");
    BtrieveState& s = btrieveState();
    for (int station = std::max(1, premiereStation); station <= std::min(derniereStation, NbStationsMax);
         ++station) {
        if (!adresseBtrValide(base, station, noFichier))
            return;
        p.step(10, [&] {
            if (!s.FichierOuvert(base, station, noFichier))
                return;
            const QString chemin = s.CheminFichierBtr(base, station, noFichier);
            std::uint32_t longueur = std::uint32_t(s.definitionFichier.LongueurEnreg());
            if (FermetureFichierBTrieve(base, noFichier, chemin, longueur, station))
                s.FichierOuvert(base, station, noFichier) = false;
            else
                TraceLog(-1, -1, -1, QStringLiteral("Unable to close: ") + chemin, true);
        });
    }
}

} // namespace ks3
