#include "engine/IdentiteEntete.h"

#include "store/EnregConvertEntete.h"

#include <QCryptographicHash>

namespace ks3 {

namespace {

bool memeTexte(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// 16 hexadecimal digits of a SHA-1 over the four texts, case-folded as the
// comparison of the fields ignores the letter case.
QString empreinteDe(const QString& dossierSource, const QString& nomSource, const QString& dossierCible,
                    const QString& nomCible) {
    QCryptographicHash h(QCryptographicHash::Sha1);
    const QChar separateur(u'\0'); // found in no path
    for (const QString& t : {dossierSource, nomSource, dossierCible, nomCible}) {
        h.addData(t.toCaseFolded().toUtf8());
        h.addData(QString(separateur).toUtf8());
    }
    return QString::fromLatin1(h.result().left(8).toHex().toUpper());
}

} // namespace

IdentiteEntete::IdentiteEntete(const QString& dossierSource, const QString& nomSource,
                               const QString& dossierCible, const QString& nomCible)
    : dossierSource_(dossierSource), nomSource_(nomSource), dossierCible_(dossierCible), nomCible_(nomCible),
      dossierSourceLu_(recordtext::stored(dossierSource, EnregConvertEntete::DossierSourceChamp.width)),
      dossierCibleLu_(recordtext::stored(dossierCible, EnregConvertEntete::DossierCibleChamp.width)),
      nomCibleLu_(recordtext::stored(nomCible, EnregConvertEntete::NomFichierCibleChamp.width)) {
    if (dossierSourceLu_ != dossierSource || dossierCibleLu_ != dossierCible || nomCibleLu_ != nomCible ||
        recordtext::stored(nomSource, EnregConvertEntete::NomFichierSourceChamp.width) != nomSource)
        empreinte_ = empreinteDe(dossierSource, nomSource, dossierCible, nomCible);
}

bool IdentiteEntete::correspond(const EnregConvertEntete& entete) const {
    return memeTexte(dossierSourceLu_, entete.DossierSource()) &&
           memeTexte(dossierCibleLu_, entete.DossierCible()) &&
           memeTexte(nomCibleLu_, entete.NomFichierCible()) && memeTexte(empreinte_, entete.EmpreinteNoms());
}

void IdentiteEntete::ecrire(EnregConvertEntete& entete) const {
    entete.setNomFichierSource(nomSource_);
    entete.setNomFichierCible(nomCible_);
    entete.setDossierSource(dossierSource_);
    entete.setDossierCible(dossierCible_);
    entete.setEmpreinteNoms(empreinte_);
}

} // namespace ks3
