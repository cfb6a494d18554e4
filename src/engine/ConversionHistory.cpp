#include "engine/ConversionHistory.h"

#include "common/ErrorRoutine.h"
#include "engine/CompareFichierEtDonnees.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/RecordBuffers.h"

namespace ks3 {

namespace {
const QString kOrigine = QStringLiteral("FrmMain:LancerConvertV13");
constexpr int kBase = 0;
constexpr int kStation = 0;
} // namespace

void EnregistrerTentative(const QString& idEntete, const QDateTime& dateFichierSource, const QDateTime& debut,
                          const QDateTime& fin, qint64 tailleFichierSource, const QString& statut,
                          const QString& message, const QString& aConvertir) {
    Procedure p("FrmMain", "LancerConvertV13");
    EnregConvertDetail& detail = enregConvertDetail();
    QString idDetail = QStringLiteral("0000000001");
    p.step(110, [&] {
        QString cle = idEntete + QStringLiteral("zzzzzzzzzz");
        BTRieve(kBase, btr::OpGetLessOrEqual, cle, EnregConvertDetail::CleIdEnteteIdDetail,
                EnregConvertDetail::NoFichier, kStation, kOrigine);
        if (btrRequest().BtrStatut == 9 || cle.left(20) < idEntete + QStringLiteral("0000000001"))
            return;
        idDetail = QStringLiteral("%1").arg(detail.IdDetail().toLongLong() + 1, 10, 10, QLatin1Char('0'));
    });
    p.step(120, [&] {
        detail.setIdEntete(idEntete);
        detail.setIdDetail(idDetail);
        detail.setDateFichierSource(dateFichierSource);
        detail.setDebutConversion(debut);
        detail.setFinConversion(fin);
        detail.setTailleFichierSource(TailleEnregistrable(tailleFichierSource));
        detail.setConversionOK(statut);
        detail.setLibelleDetail(message.left(100));
        QString cle(20, QLatin1Char(' '));
        BTRieve(kBase, btr::OpInsert, cle, EnregConvertDetail::CleIdEnteteIdDetail,
                EnregConvertDetail::NoFichier, kStation, kOrigine);
    });
    p.step(130, [&] {
        EnregConvertEntete& entete = enregConvertEntete();
        QString cle = idEntete;
        BTRieve(kBase, btr::OpGetEqual, cle, EnregConvertEntete::CleIdEntete, EnregConvertEntete::NoFichier,
                kStation, kOrigine);
        if (btrRequest().BtrStatut != 0)
            return;
        entete.setAConvertir(aConvertir);
        entete.setConversionOK(statut);
        BTRieve(kBase, btr::OpUpdate, cle, EnregConvertEntete::CleIdEntete, EnregConvertEntete::NoFichier,
                kStation, kOrigine);
    });
}

} // namespace ks3
