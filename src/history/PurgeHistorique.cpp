#include "history/PurgeHistorique.h"

#include "common/Messages.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/ErreurBTrieve.h"
#include "store/RecordBuffers.h"

#include <QCoreApplication>

namespace ks3 {

namespace {
constexpr int kBase = 0;
constexpr int kOui = 6;
constexpr int kQuestionOuiNon = 32 + 4;
constexpr int kInformationOuiNon = 64 + 4;
constexpr int kInformationOkAnnuler = 64 + 1;
const QString kOrigine = QStringLiteral("FrmSetup:CommandPurgerBase_Click");

// Deletes the records of one table from the highest key down to the low bound;
// each pass starts again from the high bound.
void viderTable(int noFichier, int longueurCle, int& nombre, SuiviPurge& suivi) {
    const QString basse = QString(longueurCle - 1, QLatin1Char('0')) + QLatin1Char('1');
    const QString haute(longueurCle, QLatin1Char('z'));
    BtrRequestBlock& rb = btrRequest();
    for (;;) {
        rb.BtrOperation = btr::OpGetLessOrEqual;
        rb.BtrCle = haute;
        rb.BtrNoCle = 0;
        rb.BtrFichier = noFichier;
        BTRieve(kBase, NoStationBase(kBase), kOrigine);
        if (rb.BtrStatut == 9)
            return;
        if (rb.BtrStatut != 0) {
            // Nothing was read: retrying is the report's choice, not a deletion.
            ErreurBTrieve(kBase, noFichier, rb.BtrCle, kOrigine);
            continue;
        }
        if (rb.BtrCle < basse)
            return;
        suivi.cleEnCours(rb.BtrCle);
        rb.BtrOperation = btr::OpDelete;
        BTRieve(kBase, NoStationBase(kBase), kOrigine);
        if (rb.BtrStatut != 0)
            ErreurBTrieve(kBase, noFichier, rb.BtrCle, kOrigine);
        ++nombre;
        suivi.nombreSupprime(nombre);
        if (nombre % 10 == 0)
            QCoreApplication::processEvents();
    }
}
} // namespace

int CommandPurgerBase_Click(const QString& titre, SuiviPurge& suivi) {
    if (AffMsg(QStringLiteral("Voulez-vous supprimer l'historique des conversions ?"), kQuestionOuiNon,
               titre) != kOui)
        return -1;
    if (AffMsg(QStringLiteral("Attention ceci va supprimer définitivement les donner. Continuer ?"),
               kInformationOuiNon, titre) != kOui)
        return -1;
    int nombre = 0;
    viderTable(EnregConvertEntete::NoFichier, 10, nombre, suivi);
    viderTable(EnregConvertDetail::NoFichier, 20, nombre, suivi);
    AffMsg(QStringLiteral("Destruction de l'historique terminée: ") + QString::number(nombre) +
               QStringLiteral(" enregistrements supprimés"),
           kInformationOkAnnuler, titre);
    return nombre;
}

} // namespace ks3
