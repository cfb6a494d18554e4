#include "store/BTRieve.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "common/Messages.h"
#include "common/ProgramEnd.h"
#include "common/TraceLog.h"
#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "store/BtrieveState.h"
#include "store/CatalogueTables.h"
#include "store/ErreurBTrieve.h"
#include "store/LectureIntervalle.h"
#include "store/PrintableKey.h"
#include "store/RecordBuffers.h"
#include "store/RecordManagerCall.h"

#include <algorithm>
#include <cstring>

namespace ks3 {

namespace {

const QString kOrigine = QStringLiteral("Lib_Data_Pervasive:BTRieve");
constexpr int kLongueurCle = 255;
constexpr int kRetriesMax = 10;
constexpr int kAttenteConflitMs = 500;
constexpr int kAttenteVerrouMs = 1000;

QString deuxChiffres(int n) {
    const QString s = QString::number(n).rightJustified(2, QLatin1Char('0'));
    return s.right(2);
}

QString origineLisible(const QString& origine) {
    QString o = origine;
    o.replace(QLatin1Char(':'), QStringLiteral(" Sub:"));
    return o;
}

void decalerHistorique(int base, const QString& entree) {
    auto& h = btrieveState().HistoriqueBtr(base);
    for (int i = NbHistoriqueBtr - 1; i > 0; --i)
        h[i] = h[i - 1];
    h[0] = entree;
}

void marquerStatut(int base, int statut) {
    QString& e = btrieveState().HistoriqueBtr(base)[0];
    if (!e.startsWith(QLatin1String("S:")))
        e = QStringLiteral("S:") + QString::number(statut) + QLatin1Char(' ') + e;
}

// Operations after which the buffer holds the record as it is in the file.
bool bufferEgalFichier(int operation) {
    return (operation >= 2 && operation <= 3) || (operation >= 5 && operation <= 13);
}

bool verrouOuTransaction(int statut) {
    switch (statut) {
    case 81:
    case 84:
    case 85:
    case 36:
    case 37:
    case 38:
    case 39:
    case 83:
    case 92:
        return true;
    default:
        return false;
    }
}

// Re-reads the record of the key, as a record conflict requires before the
// operation is tried again. For an update, the fields the caller changed since
// its read are carried over to the record as re-read, so that neither the
// caller's change nor the other program's is lost.
void relireApresConflit(int base, int station, int operation, QString& cle, int noCle, int noFichier) {
    const RecordBufferRef buf = recordBufferOf(noFichier);
    QByteArray avant;
    if (buf.data)
        avant = QByteArray(buf.data, buf.size);
    const QByteArray lu = btrieveState().DernierLu(base, station, noFichier);
    QString cleRelue = cle;
    const std::int16_t statut = BTRieve_Reel(base, station, 5, cleRelue, noCle, noFichier);
    if (operation != 3 || !buf.data)
        return;
    if (statut != 0 || lu.size() != avant.size()) {
        // Nothing to merge with: the caller's record is written as it stands.
        std::memcpy(buf.data, avant.constData(), size_t(buf.size));
        return;
    }
    for (int i = 0; i < buf.size; ++i)
        if (avant.at(i) != lu.at(i))
            buf.data[i] = avant.at(i);
}

} // namespace

int NoStationBase(int base) {
    static const int stations[NbBases] = {0, 0, 0, 0};
    return base >= 0 && base < NbBases ? stations[base] : 0;
}

bool EnregOccupe() {
    return btrieveState().enregOccupe;
}

std::int16_t BTRieve_Reel(int base, int station, int operation, QString& cle, int noCle, int noFichier) {
    const RecordBufferRef buf = recordBufferOf(noFichier);
    if (!buf.data)
        return btr::StatusInvalidOperation; // a table without a layout cannot be read here
    BtrieveState& s = btrieveState();

    QByteArray cleOctets = toCp1252(cle);
    const int longueurEnvoyee = int(cleOctets.size());
    const int tailleCle = std::max(kLongueurCle, longueurEnvoyee);
    cleOctets.append(QByteArray(tailleCle - longueurEnvoyee, ' '));

    // The buffer's own size, whatever the previous call returned: a Get that
    // found nothing must not shrink the record the next Insert writes.
    std::uint32_t longueur = std::uint32_t(buf.size);
    const std::int16_t statut =
        callRecordManager(std::uint16_t(operation), &s.BlocPosition(base, station, noFichier), buf.data,
                          &longueur, cleOctets.data(), std::uint16_t(tailleCle), std::int16_t(noCle));
    s.longueurEnreg[noFichier] = longueur;

    // The key found: at least what was sent, and the whole key of the table.
    const EntreeCatalogue& e = CatalogueTables()[noFichier];
    const int longueurCle = noCle >= 0 ? e.longueurCle(noCle) : 0;
    const int rendue = std::min(tailleCle, std::max(longueurEnvoyee, longueurCle));
    cle = fromCp1252(cleOctets.left(rendue));

    if (statut == 0 && bufferEgalFichier(operation))
        s.DernierLu(base, station, noFichier) = QByteArray(buf.data, buf.size);
    if (statut == 0 && operation >= btr::OpInsert && operation <= btr::OpDelete)
        CompterEcriture(noFichier);
    return statut;
}

void BTRieve(int base, int operation, QString& cle, int noCle, int noFichier, int station,
             const QString& origine) {
    Procedure p("Lib_Data_Pervasive", "BTRieve");
    BtrieveState& s = btrieveState();
    BtrRequestBlock& r = btrRequest();

    if ((operation == 20 || operation == 21) && !s.transactionEnCours)
        return;
    if (FinProgrammeDemandee())
        return;
    if (operation == 10 || operation == 11)
        cle.replace(QChar(0xFF), QLatin1Char('z'));
    if (station < 1)
        station = 1;
    const bool baseValide = base >= 0 && base < NbBases;
    if (!origine.trimmed().isEmpty() && baseValide) {
        // Only the history shows the key printable: the record manager gets it
        // as it is, or a name with a letter outside the printable set (ü, a
        // letter the code page lacks) would never be found again.
        decalerHistorique(base, QStringLiteral("File:") + deuxChiffres(noFichier) +
                                    QStringLiteral(" Station:") + QString::number(station) +
                                    QStringLiteral(" OP:") + deuxChiffres(operation) + QStringLiteral(" K:") +
                                    deuxChiffres(noCle) + QStringLiteral(" [") + PrintableKey(cle) +
                                    QStringLiteral("]") + QStringLiteral(" [") + origineLisible(origine) +
                                    QStringLiteral("]"));
    }
    s.enregOccupe = false;

    if (station > NbStationsMax) {
        GestErr_Fra(9, QString::number(station),
                    QStringLiteral("BTrieve (") + QStringLiteral("Source:") + origineLisible(origine) +
                        QStringLiteral(")"),
                    false, QString());
        r.BtrStatut = operation == 5 ? 4 : 9;
        return;
    }
    if (!adresseBtrValide(base, station, noFichier) || !s.FichierOuvert(base, station, noFichier)) {
        GestErr_Fra(2003, QStringLiteral("#: ") + QString::number(noFichier),
                    QStringLiteral("(Source:") + origineLisible(origine) + QStringLiteral(")"), false,
                    QString());
        r.BtrStatut = 20;
        ErreurBTrieve(base, noFichier, cle, kOrigine, false, false);
        FinProgramme(1);
        return;
    }

    int compteur = 0;
    p.step(10, [&] {
        for (;;) {
            if (cle.isEmpty())
                cle = QString(100, QLatin1Char(' '));
            r.BtrStatut = BTRieve_Reel(base, station, operation, cle, noCle, noFichier);
            const int statut = r.BtrStatut;
            if (statut == 0) {
                if (operation == 19 || operation == 1019)
                    s.transactionEnCours = true;
                else if (operation == 20 || operation == 21)
                    s.transactionEnCours = false;
                break;
            }
            if (statut == 80) {
                if (++compteur > kRetriesMax) {
                    // Another program keeps changing the record: give up, and
                    // say so; the status stays 80 so that the caller does not
                    // take the operation as done.
                    s.enregOccupe = true;
                    TraceLog(base, -1, -1,
                             QStringLiteral("Err: Record busy, operation not done after ") +
                                 QString::number(kRetriesMax) + QStringLiteral(" retries: ") +
                                 s.HistoriqueBtr(base)[0],
                             true);
                    break;
                }
                clock().sleep(kAttenteConflitMs);
                if (operation == 3 || operation == 4)
                    relireApresConflit(base, station, operation, cle, noCle, noFichier);
                continue;
            }
            if (verrouOuTransaction(statut)) {
                if (++compteur > kRetriesMax) {
                    const int reponse = ErreurBTrieveReponse(base, noFichier, cle, kOrigine, false, false);
                    // Ignorer gives the status back to the caller; only
                    // Réessayer keeps waiting for the lock.
                    if (FinProgrammeDemandee() || reponse != 4)
                        break;
                }
                clock().sleep(kAttenteVerrouMs);
                continue;
            }
            if (statut == 7) {
                if (operation == 6 || operation == 7) {
                    QString cleRelue = cle;
                    if (BTRieve_Reel(base, station, 5, cleRelue, noCle, noFichier) == 0) {
                        cle = cleRelue;
                        r.BtrStatut = 7;
                        break;
                    }
                    r.BtrStatut = 7;
                }
                const int reponse = ErreurBTrieveReponse(base, noFichier, cle, kOrigine, false, false);
                if (FinProgrammeDemandee() || reponse != 4)
                    break;
                continue;
            }
            if (statut == 54) {
                ErreurBTrieve(base, noFichier, cle, kOrigine, false, false);
                break;
            }
            const bool attendu = (operation == 2 || operation == 3)
                                     ? statut == 5
                                     : (statut == 4 || statut == 5 || statut == 9);
            if (!attendu)
                ErreurBTrieve(base, noFichier, cle, kOrigine, false, false);
            break;
        }
    });
    if (baseValide)
        marquerStatut(base, r.BtrStatut);
}

void BTRieve(int base, int station, const QString& origine) {
    BtrRequestBlock& r = btrRequest();
    BTRieve(base, r.BtrOperation, r.BtrCle, r.BtrNoCle, r.BtrFichier, station, origine);
}

} // namespace ks3
