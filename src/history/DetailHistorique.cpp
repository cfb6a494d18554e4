#include "history/DetailHistorique.h"

#include "history/DateHeureHistorique.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/RecordBuffers.h"

namespace ks3 {

namespace {
constexpr int kBase = 0;
constexpr int kLongueurCle = 20;

QString nombre(const QString& champ) {
    bool ok = false;
    const qint64 n = champ.trimmed().toLongLong(&ok);
    return ok ? QString::number(n) : champ.trimmed();
}
} // namespace

void ListerDetails(const QString& idEntete, const QString& origine,
                   const std::function<void(const LigneDetail&)>& ajoute) {
    const QString id = idEntete.trimmed();
    if (id.isEmpty())
        return;
    const QString haute = id.leftJustified(kLongueurCle, QLatin1Char('z')).toUpper();
    BtrRequestBlock& rb = btrRequest();
    rb.BtrOperation = btr::OpGetGreaterOrEqual;
    rb.BtrCle = id.leftJustified(kLongueurCle, QLatin1Char(' '));
    for (;;) {
        rb.BtrNoCle = EnregConvertDetail::CleIdEnteteIdDetail;
        rb.BtrFichier = EnregConvertDetail::NoFichier;
        BTRieve(kBase, NoStationBase(kBase), origine);
        if (rb.BtrStatut != 0 || rb.BtrCle.toUpper() > haute)
            break;
        const QString cle = rb.BtrCle;
        const EnregConvertDetail& d = enregConvertDetail();
        const bool reussi = d.ConversionOK() == QStringLiteral("O");
        ajoute({nombre(d.IdDetail()), DateHeureHistorique(d.DateFichierSource()),
                nombre(d.TailleFichierSource()), DateHeureHistorique(d.DebutConversion()),
                DateHeureHistorique(d.FinConversion()),
                reussi ? QStringLiteral("Ok") : d.rawText(EnregConvertDetail::ConversionOKChamp),
                reussi ? QString() : d.LibelleDetail().trimmed()});
        rb.BtrOperation = btr::OpGetNext;
        rb.BtrCle = cle;
    }
}

} // namespace ks3
