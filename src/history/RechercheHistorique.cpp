#include "history/RechercheHistorique.h"

#include "history/DateHeureHistorique.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/ErreurBTrieve.h"
#include "store/RecordBuffers.h"

#include <QDate>

namespace ks3 {

namespace {
constexpr int kBase = 0;
constexpr int kLongueurNom = 50;

std::optional<QDate> jourLu(const QString& texte) {
    const QString t = texte.trimmed();
    for (const QString& format : {QStringLiteral("d/M/yyyy"), QStringLiteral("d/M/yy"),
                                  QStringLiteral("d-M-yyyy"), QStringLiteral("d.M.yyyy")}) {
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return format.endsWith(QStringLiteral("/yy")) && d.year() < 1930 ? d.addYears(100) : d;
    }
    return std::nullopt;
}
} // namespace

QString NomTypeRecherche(TypeRecherche type) {
    switch (type) {
    case TypeRecherche::Date:
        return QStringLiteral("Date");
    case TypeRecherche::Fichier:
        return QStringLiteral("Fichier");
    case TypeRecherche::Erreurs:
        return QStringLiteral("Erreurs!");
    }
    return QString();
}

std::optional<TypeRecherche> TypeRechercheNomme(const QString& nom) {
    for (TypeRecherche t : {TypeRecherche::Date, TypeRecherche::Fichier, TypeRecherche::Erreurs}) {
        if (nom.compare(NomTypeRecherche(t), Qt::CaseInsensitive) == 0 ||
            (t == TypeRecherche::Erreurs && nom.compare(QStringLiteral("Erreurs"), Qt::CaseInsensitive) == 0))
            return t;
    }
    return std::nullopt;
}

std::optional<BornesRecherche> BornesDeRecherche(TypeRecherche type, const QString& texte) {
    if (type == TypeRecherche::Date) {
        const std::optional<QDate> jour = jourLu(texte);
        if (!jour)
            return std::nullopt;
        const QString j = jour->toString(QStringLiteral("yyyyMMdd"));
        return BornesRecherche{EnregConvertEntete::CleDateTraitement, j + QStringLiteral("000000"),
                               j + QStringLiteral("999999")};
    }
    const QString debut = texte.left(kLongueurNom);
    return BornesRecherche{EnregConvertEntete::CleNomFichierSource,
                           debut.leftJustified(kLongueurNom, QLatin1Char(' ')),
                           debut.leftJustified(kLongueurNom, QLatin1Char('z'))};
}

bool RechercherEntetes(TypeRecherche type, const QString& texte, const QString& origine,
                       const std::function<void(const LigneEntete&)>& ajoute) {
    const std::optional<BornesRecherche> bornes = BornesDeRecherche(type, texte);
    if (!bornes)
        return false;
    BtrRequestBlock& rb = btrRequest();
    const QString hauteCapitales = bornes->haute.toUpper();
    rb.BtrOperation = btr::OpGetGreaterOrEqual;
    rb.BtrCle = bornes->basse;
    for (;;) {
        rb.BtrNoCle = bornes->noCle;
        rb.BtrFichier = EnregConvertEntete::NoFichier;
        BTRieve(kBase, NoStationBase(kBase), origine);
        if (rb.BtrStatut == 9)
            break;
        if (rb.BtrStatut != 0) {
            // The buffer holds nothing new: reading on from the same key would
            // only meet the same failure again.
            ErreurBTrieve(kBase, rb.BtrFichier, rb.BtrCle, origine);
            break;
        }
        if (rb.BtrCle.toUpper() > hauteCapitales)
            break;
        const QString cle = rb.BtrCle;
        const EnregConvertEntete& e = enregConvertEntete();
        if (type != TypeRecherche::Erreurs || e.ConversionOK() != QStringLiteral("O"))
            ajoute({e.NomFichierSource().trimmed(), e.DossierSource().trimmed(),
                    DateHeureHistorique(e.DateTraitement()), DateHeureHistorique(e.DateFichierSource()),
                    e.rawText(EnregConvertEntete::IdEnteteChamp)});
        rb.BtrOperation = btr::OpGetNext;
        rb.BtrCle = cle;
    }
    return true;
}

} // namespace ks3
