#pragma once

#include <QByteArray>
#include <QString>

namespace ks3 {

class EnregConvertEntete;

// What tells one conversion header from another: the source's folder and name
// and the target's folder and name. A header holds each of them as its field
// gives it back (in the code page, cut to the field, trimmed of spaces), so a
// file is compared with its header in that form. When one of them does not
// come back whole (a name longer than its field, a name with blanks at either
// end, a character the code page lacks), files that differ only in what was
// lost would share one header; the header then also holds a digest of the
// four full texts, and only a file with the same digest is taken for it.
class IdentiteEntete {
public:
    IdentiteEntete() = default;
    IdentiteEntete(const QString& dossierSource, const QString& nomSource, const QString& dossierCible,
                   const QString& nomCible);

    // True when the header is this file's (letter case ignored). The source
    // name is left to the search by name, which takes every name that begins
    // with the file's.
    bool correspond(const EnregConvertEntete& entete) const;
    // Writes the four fields and the digest (spaces when every text fits).
    void ecrire(EnregConvertEntete& entete) const;

    // The digest, empty when every text fits its field.
    const QString& empreinte() const { return empreinte_; }

private:
    // A text as a field gives it back, and its bytes when it is ASCII (a path
    // mostly): then the field's bytes are compared without decoding them.
    struct Attendu {
        QString texte;
        QByteArray ascii;
        bool estAscii = false;
        Attendu() = default;
        explicit Attendu(const QString& t);
        bool egal(const char* champ, int largeur) const;
    };

    // As given, and as the header's fields give them back.
    QString dossierSource_, nomSource_, dossierCible_, nomCible_;
    Attendu dossierSourceLu_, dossierCibleLu_, nomCibleLu_;
    QString empreinte_;
    Attendu empreinteLue_;
};

} // namespace ks3
