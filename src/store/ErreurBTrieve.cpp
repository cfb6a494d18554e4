#include "store/ErreurBTrieve.h"

#include "common/Clock.h"
#include "common/DateFormats.h"
#include "common/ErrorRoutine.h"
#include "common/Messages.h"
#include "common/ProgramEnd.h"
#include "common/TraceLog.h"
#include "store/BtrRequestBlock.h"
#include "store/BtrieveState.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ks3 {

namespace {

constexpr std::uint64_t kDelaiErreursReseauMs = 300000;

bool erreurReseau(int statut) {
    return statut >= 3000 && statut <= 3132;
}

QString enteteMessage(int noFichier) {
    const QDateTime now = clock().now();
    const QString quand = texteDate(now.date()) + QLatin1Char(' ') + texteHeure(now.time());
    if (noFichier < 0)
        return quand + QLatin1Char('\n');
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return LibelleMessage(QStringLiteral("Internet"), 8, 0) + QStringLiteral(" :") + QStringLiteral("  (") +
           exe + QStringLiteral(")") + QStringLiteral("  (") + quand + QStringLiteral(")") +
           QLatin1Char('\n');
}

} // namespace

QString ErreurBTrieveLibelle(int statut, const QString& cle) {
    QString texte;
    switch (statut) {
    case 1:
        texte = QStringLiteral("1: The operation parameter is invalid");
        break;
    case 2:
        texte = QStringLiteral("2: The application encountered an I/O error");
        break;
    case 3:
        texte = QStringLiteral("3: The file is not open");
        break;
    case 4:
        texte = QStringLiteral("4: The application cannot find the key value");
        break;
    case 5:
        texte = QStringLiteral("5: The record has a key field containing a duplicate key value");
        break;
    case 6:
        texte = QStringLiteral("6: The key number parameter is invalid");
        break;
    case 7:
        texte = QStringLiteral("7: The key number has changed");
        break;
    case 8:
        texte = QStringLiteral("8: The current positioning is invalid");
        break;
    case 11:
        texte = QStringLiteral("11: The specified filename is invalid (") + cle + QLatin1Char(')');
        break;
    case 12:
        texte =
            QStringLiteral("12: The MicroKernel cannot find the specified file (") + cle + QLatin1Char(')');
        break;
    case 18:
        texte = QStringLiteral("18: The disk is full");
        break;
    case 19:
        texte = QStringLiteral("19: The application encountered an unrecoverable error");
        break;
    case 30:
        texte = QStringLiteral("30: The file specified is not a MicroKernel file");
        break;
    case 46:
        texte = QStringLiteral("46: Access to the requested file is denied (File locked ?)");
        break;
    case 161:
        texte = QStringLiteral("161: The maximum number of user count licenses has been reached");
        break;
    case 2007:
        texte = QStringLiteral("2007: A pointer parameter is invalid");
        break;
    default:
        if (statut >= 3103 && statut <= 3132)
            texte = QString::number(statut) + QStringLiteral(": Network error");
        else
            texte = QString::number(statut);
    }
    return QStringLiteral("Err:") + texte + QLatin1Char('\n');
}

int ErreurBTrieveReponse(int base, int noFichier, const QString& cle, const QString& origine,
                         bool sansHistorique, bool informationSeule) {
    Procedure p("Lib_Data_Pervasive", "ErreurBTrieve");
    const int statut = btrRequest().BtrStatut;
    if (statut == 0)
        return 0;
    QString message;
    bool terminer = false;
    p.step(10, [&] {
        message = enteteMessage(noFichier);
        message += ErreurBTrieveLibelle(statut, cle) + QLatin1Char('\n');
    });
    p.step(20, [&] {
        if (sansHistorique || base < 0 || base >= NbBases)
            return;
        auto& historique = btrieveState().HistoriqueBtr(base);
        if (statut != 161) {
            if (!historique[0].startsWith(QLatin1String("S:")))
                historique[0] =
                    QStringLiteral("S:") + QString::number(statut) + QLatin1Char(' ') + historique[0];
            for (int i = 0; i < NbHistoriqueBtr; ++i)
                if (!historique[i].trimmed().isEmpty())
                    message += QLatin1Char(' ') + QString::number(i) + QLatin1Char('>') + historique[i] +
                               QLatin1Char('\n');
        }
        if (statut == 2 || statut == 14 || statut == 15 || statut == 19 || statut == 30 ||
            (statut == 4 && btrRequest().BtrOperation == 4))
            message +=
                QLatin1Char('\n') + LibelleMessage(QStringLiteral("Divers00"), 34, 0) + QLatin1Char('\n');
    });
    // A record conflict is the layer's own business: it retries, never asks.
    if (statut == 80)
        return 0;
    p.step(30, [&] {
        if (!erreurReseau(statut))
            return;
        message = QStringLiteral("Le programme a rencontré un problème de connexion au serveur.") +
                  QStringLiteral("\n\n") +
                  QStringLiteral("Veuillez vérifier la connectique de votre réseau.");
        // A lone network failure is shown and the user chooses; failures that
        // come back within five minutes mean the server is gone: the program
        // ends after the message rather than asking again and again.
        BtrieveState& s = btrieveState();
        const std::uint64_t maintenant = GetTickCount64();
        const bool repetee = s.tickDerniereErreurReseau != 0 &&
                             maintenant - s.tickDerniereErreurReseau < kDelaiErreursReseauMs;
        s.tickDerniereErreurReseau = maintenant == 0 ? 1 : maintenant;
        if (repetee)
            terminer = true;
        else
            TraceLogEncadre(-1, -1, -1,
                            QStringLiteral("Err: Network Pervasive errors: ") + QString::number(statut),
                            QStringLiteral("="), true);
    });
    int reponse = 0;
    p.step(40, [&] {
        if (informationSeule) {
            reponse = AffMsg(message, 64, QString());
            return;
        }
        reponse = AffMsg(message, 18, origine);
    });
    if (informationSeule && !terminer)
        return reponse;
    if (terminer || reponse == 2 || reponse == 3)
        FinProgramme(1);
    return reponse;
}

void ErreurBTrieve(int base, int noFichier, const QString& cle, const QString& origine, bool sansHistorique,
                   bool informationSeule) {
    ErreurBTrieveReponse(base, noFichier, cle, origine, sansHistorique, informationSeule);
}

} // namespace ks3
