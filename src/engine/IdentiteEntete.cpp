#include "engine/IdentiteEntete.h"

#include "store/EnregConvertEntete.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstring>

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

IdentiteEntete::Attendu::Attendu(const QString& t) : texte(t) {
    for (const QChar c : t)
        if (c.unicode() >= 0x80)
            return;
    ascii = t.toLatin1();
    estAscii = true;
}

// The field as its text (trimmed of spaces) compared with the expected text,
// letter case ignored. For an ASCII text, on the bytes: in the code page a byte
// below 0x80 is the same character, and no other character equals an ASCII one
// when letter case is ignored.
bool IdentiteEntete::Attendu::egal(const char* champ, int largeur) const {
    if (!estAscii)
        return memeTexte(texte, recordTextDecodeTrimmed(champ, largeur));
    // The text begins after the field's leading spaces and is followed by
    // nothing but spaces (a path fills a small part of its field).
    int debut = 0;
    while (debut < largeur && champ[debut] == ' ')
        ++debut;
    const int fin = debut + int(ascii.size());
    if (fin > largeur || (!ascii.isEmpty() && debut == largeur))
        return false;
    const char* attendu = ascii.constData();
    for (int i = 0; i < fin - debut; ++i) {
        const auto a = static_cast<unsigned char>(champ[debut + i]);
        const auto b = static_cast<unsigned char>(attendu[i]);
        if (a == b)
            continue;
        if (a >= 0x80 || (a | 0x20) != (b | 0x20) || (a | 0x20) < 'a' || (a | 0x20) > 'z')
            return false;
    }
    static const QByteArray espaces(256, ' ');
    for (int i = fin; i < largeur; i += int(espaces.size()))
        if (std::memcmp(champ + i, espaces.constData(), std::size_t(std::min<int>(largeur - i, 256))) != 0)
            return false;
    return true;
}

IdentiteEntete::IdentiteEntete(const QString& dossierSource, const QString& nomSource,
                               const QString& dossierCible, const QString& nomCible)
    : dossierSource_(dossierSource), nomSource_(nomSource), dossierCible_(dossierCible), nomCible_(nomCible),
      dossierSourceLu_(recordtext::stored(dossierSource, EnregConvertEntete::DossierSourceChamp.width)),
      dossierCibleLu_(recordtext::stored(dossierCible, EnregConvertEntete::DossierCibleChamp.width)),
      nomCibleLu_(recordtext::stored(nomCible, EnregConvertEntete::NomFichierCibleChamp.width)) {
    if (dossierSourceLu_.texte != dossierSource || dossierCibleLu_.texte != dossierCible ||
        nomCibleLu_.texte != nomCible ||
        recordtext::stored(nomSource, EnregConvertEntete::NomFichierSourceChamp.width) != nomSource)
        empreinte_ = empreinteDe(dossierSource, nomSource, dossierCible, nomCible);
    empreinteLue_ = Attendu(empreinte_);
}

bool IdentiteEntete::correspond(const EnregConvertEntete& entete) const {
    const auto egal = [&entete](const Attendu& attendu, TextField champ) {
        return attendu.egal(entete.data() + champ.offset, champ.width);
    };
    return egal(dossierSourceLu_, EnregConvertEntete::DossierSourceChamp) &&
           egal(dossierCibleLu_, EnregConvertEntete::DossierCibleChamp) &&
           egal(nomCibleLu_, EnregConvertEntete::NomFichierCibleChamp) &&
           egal(empreinteLue_, EnregConvertEntete::EmpreinteNomsChamp);
}

void IdentiteEntete::ecrire(EnregConvertEntete& entete) const {
    entete.setNomFichierSource(nomSource_);
    entete.setNomFichierCible(nomCible_);
    entete.setDossierSource(dossierSource_);
    entete.setDossierCible(dossierCible_);
    entete.setEmpreinteNoms(empreinte_);
}

} // namespace ks3
