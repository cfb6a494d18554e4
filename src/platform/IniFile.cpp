#include "platform/IniFile.h"

#include "platform/NomFichier.h"
#include "platform/PlatformHost.h"
#include "platform/Text1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

namespace ks3 {

namespace {

const QByteArray kCrLf("\r\n");

// One line of the file: its bytes without the line end, the line end as it was
// ("\r\n", "\n" or nothing on a last line without one), and its decoded text.
struct Ligne {
    QByteArray texte;
    QByteArray fin;
    QString decode;
};

Ligne ligne(QByteArray texte, QByteArray fin) {
    Ligne l{std::move(texte), std::move(fin), QString()};
    l.decode = fromCp1252(l.texte);
    return l;
}

std::vector<Ligne> decoupe(const QByteArray& bytes) {
    std::vector<Ligne> lignes;
    qsizetype debut = 0;
    while (debut < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', debut);
        if (lf < 0) {
            lignes.push_back(ligne(bytes.mid(debut), QByteArray()));
            break;
        }
        qsizetype finTexte = lf;
        if (finTexte > debut && bytes.at(finTexte - 1) == '\r')
            --finTexte;
        lignes.push_back(ligne(bytes.mid(debut, finTexte - debut), bytes.mid(finTexte, lf + 1 - finTexte)));
        debut = lf + 1;
    }
    return lignes;
}

// Section name of a "[name]" line; a null text for any other line.
QString nomSection(const QString& ligne) {
    const QString t = ligne.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    qsizetype fin = t.indexOf(QLatin1Char(']'));
    if (fin < 0)
        fin = t.size();
    QString nom = t.mid(1, fin - 1).trimmed();
    if (nom.isNull())
        nom = QLatin1String("");
    return nom;
}

// Key and value of a "key=value" line; false for comments and other lines.
bool cleValeur(const QString& ligne, QString& cle, QString& valeur) {
    const QString t = ligne.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype egal = t.indexOf(QLatin1Char('='));
    if (egal < 0)
        return false;
    cle = t.left(egal).trimmed();
    valeur = t.mid(egal + 1).trimmed();
    return true;
}

bool memeNom(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where [section] and key sit in the file. The first section of that name is the
// one read and written, as Windows does.
struct Position {
    qsizetype entete = -1;      // line of the section header
    qsizetype cle = -1;         // line of the key
    qsizetype derniereCle = -1; // last key line of the section (the header when none)
};

Position cherche(const std::vector<Ligne>& lignes, const QString& section, const QString& key,
                 QString* valeur = nullptr) {
    Position pos;
    for (qsizetype i = 0; i < static_cast<qsizetype>(lignes.size()); ++i) {
        const QString& texte = lignes[static_cast<std::size_t>(i)].decode;
        const QString nom = nomSection(texte);
        if (!nom.isNull()) {
            if (pos.entete >= 0)
                break; // end of our section
            if (memeNom(nom, section))
                pos.entete = pos.derniereCle = i;
            continue;
        }
        if (pos.entete < 0)
            continue;
        QString cle, v;
        if (!cleValeur(texte, cle, v))
            continue;
        pos.derniereCle = i;
        if (pos.cle < 0 && memeNom(cle, key)) {
            pos.cle = i;
            if (valeur)
                *valeur = v;
        }
    }
    return pos;
}

bool casseLignes(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// Names and values that would change the file's structure (a second line, a
// key cut at "=", a header that closes early) are refused instead of written.
bool ecritureSure(const QString& section, const QString& key, const QString& value) {
    if (casseLignes(section) || casseLignes(key) || casseLignes(value))
        return false;
    if (section.contains(QLatin1Char(']')))
        return false;
    if (key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')))
        return false;
    return true;
}

// A file without its owner's write permission is read-only, as a file with the
// read-only attribute is on Windows, whoever runs the program.
bool lectureSeule(const QFileInfo& info) {
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

void place(std::vector<Ligne>& lignes, const IniEntree& e) {
    const Position pos = cherche(lignes, e.section, e.key);
    Ligne ligneCle = ligne(toCp1252(e.key + QLatin1Char('=') + e.value), kCrLf);
    if (pos.cle >= 0) {
        lignes[static_cast<std::size_t>(pos.cle)] = std::move(ligneCle);
    } else if (pos.entete >= 0) {
        Ligne& precedente = lignes[static_cast<std::size_t>(pos.derniereCle)];
        if (precedente.fin.isEmpty())
            precedente.fin = kCrLf;
        lignes.insert(lignes.begin() + pos.derniereCle + 1, std::move(ligneCle));
    } else {
        if (!lignes.empty() && lignes.back().fin.isEmpty())
            lignes.back().fin = kCrLf;
        lignes.push_back(ligne(toCp1252(QLatin1Char('[') + e.section + QLatin1Char(']')), kCrLf));
        lignes.push_back(std::move(ligneCle));
    }
}

bool ecritUneFois(const QString& file, const QList<IniEntree>& entrees) {
    const QFileInfo info(file);
    QByteArray avant;
    if (info.exists()) {
        if (!info.isFile() || lectureSeule(info))
            return false;
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        avant = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return false;
    }

    std::vector<Ligne> lignes = decoupe(avant);
    for (const IniEntree& e : entrees)
        place(lignes, e);
    QByteArray apres;
    apres.reserve(avant.size() + 64);
    for (const Ligne& l : lignes) {
        apres += l.texte;
        apres += l.fin;
    }
    if (info.exists() && apres == avant)
        return true;

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(apres) != apres.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void traceEchec(const QString& raison, const QString& file) {
    platformHost().failure(QStringLiteral("EcritureIni Err: ") + raison + QStringLiteral(" |File: ") + file +
                           QStringLiteral(" |Sub: Lib_Public:EcritureIni"));
}

} // namespace

QString LectureIni(const QString& file, const QString& section, const QString& key, const QString& defaut) {
    if (!NomFichierValide(file))
        return defaut;
    const QString sec = section.trimmed();
    const QString cle = key.trimmed();
    if (sec.isEmpty() || cle.isEmpty())
        return defaut;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return defaut;
    const QByteArray bytes = f.readAll();
    QString valeur;
    const Position pos = cherche(decoupe(bytes), sec, cle, &valeur);
    if (pos.cle < 0)
        return defaut;
    if (valeur.isNull())
        valeur = QLatin1String("");
    return valeur.left(kLectureIniMax);
}

bool EcritureIni(const QString& file, const QString& section, const QString& key, const QString& value) {
    return EcritureIni(file, QList<IniEntree>{IniEntree{section, key, value}});
}

bool EcritureIni(const QString& file, const QList<IniEntree>& entrees) {
    if (!NomFichierValide(file))
        return false;
    bool toutes = true;
    QList<IniEntree> valides;
    valides.reserve(entrees.size());
    for (const IniEntree& e : entrees) {
        IniEntree t{e.section.trimmed(), e.key.trimmed(), e.value};
        if (t.section.isEmpty() || t.key.isEmpty()) {
            toutes = false;
            continue;
        }
        if (!ecritureSure(t.section, t.key, t.value)) {
            traceEchec(QStringLiteral("name or value on several lines refused: [") + t.section +
                           QStringLiteral("] ") + t.key,
                       file);
            toutes = false;
            continue;
        }
        valides.push_back(std::move(t));
    }
    if (valides.isEmpty())
        return toutes;

    if (ecritUneFois(file, valides))
        return toutes;

    // The folder may be missing: create it up to the last separator.
    platformHost().sleep(kEcritureIniPauseMs);
    const qsizetype sep = file.lastIndexOf(QLatin1Char('/'));
    if (sep > 0)
        QDir().mkpath(file.left(sep + 1));
    if (ecritUneFois(file, valides))
        return toutes;

    // The file may be read-only: give its owner the right to write it.
    platformHost().sleep(kEcritureIniPauseMs);
    const QFileInfo info(file);
    if (info.isFile() && lectureSeule(info))
        QFile::setPermissions(file, info.permissions() | QFileDevice::WriteOwner);
    if (ecritUneFois(file, valides))
        return toutes;

    traceEchec(valides.size() == 1 ? QStringLiteral("unable to write [") + valides.front().section +
                                         QStringLiteral("] ") + valides.front().key
                                   : QStringLiteral("unable to write %1 keys").arg(valides.size()),
               file);
    return false;
}

} // namespace ks3
