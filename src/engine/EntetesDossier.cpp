#include "engine/EntetesDossier.h"

#include "engine/DecomposeFichier.h"
#include "engine/IdentiteEntete.h"
#include "platform/BtrKeyDef.h"
#include "platform/Text1252.h"
#include "store/LectureIntervalle.h"

#include <algorithm>
#include <array>

namespace ks3 {

namespace {
constexpr int kBase = 0;
// A copy of the headers older than this is read again: another program (an
// instance on the same data folder, the purge) may have changed them.
constexpr qint64 kAgeMaxMs = 1000;
// Headers read for a folder beyond its file count: more means that other
// folders' files share the range of names, and the search per file is cheaper.
constexpr int kMargeLignes = 64;
constexpr int kLignesParFichier = 4;
// At most this many headers in memory (about 18 MB): a larger folder is
// searched file by file.
constexpr int kLignesMax = 20000;

// The key's place in the record file's order: its bytes, folded to capitals
// as the record file compares a case-insensitive key.
QByteArray triOctets(const char* data, qsizetype size) {
    static const auto capitales = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[std::size_t(c)] = char(btr::foldToCapital(std::uint8_t(c)));
        return t;
    }();
    const int largeur = EnregConvertEntete::NomFichierSourceChamp.width;
    QByteArray b(largeur, ' ');
    char* o = b.data();
    const qsizetype n = std::min<qsizetype>(size, largeur);
    for (qsizetype i = 0; i < n; ++i)
        o[i] = capitales[std::uint8_t(data[i])];
    return b;
}

// text.toUpper(), without Unicode's tables when every character is ASCII (a
// file name mostly): this runs for every file and every header read.
QString majuscules(const QString& text) {
    QString upper = text;
    char16_t* c = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u >= 0x80)
            return text.toUpper();
        if (u >= u'a' && u <= u'z') {
            if (c == nullptr)
                c = reinterpret_cast<char16_t*>(upper.data());
            c[i] = char16_t(u - (u'a' - u'A'));
        }
    }
    return upper;
}

// The same for a key as BTRieve sends it.
QByteArray tri(const QString& cle) {
    const QByteArray octets = toCp1252(cle);
    return triOctets(octets.constData(), octets.size());
}
} // namespace

void EntetesDossier::clesRecherche(const QString& nomSource, QString& bas, QString& haut) {
    const int largeur = EnregConvertEntete::NomFichierSourceChamp.width;
    // A name the code page holds as it is needs no round trip through it.
    bas = sameInCp1252(nomSource) ? nomSource.leftJustified(largeur, QLatin1Char(' '), true)
                                  : fromCp1252(recordtext::fit(nomSource, largeur));
    qsizetype fin = bas.size();
    while (fin > 0 && bas.at(fin - 1) == QLatin1Char(' '))
        --fin;
    haut = bas.left(fin);
    haut.resize(largeur, QLatin1Char('z'));
    haut = majuscules(haut);
}

EntetesDossier::Cles EntetesDossier::clesDe(const QString& nomSource) {
    Cles c;
    clesRecherche(nomSource, c.bas, c.haut);
    c.triBas = tri(c.bas);
    return c;
}

void EntetesDossier::preparer(const QStringList& sources) {
    oublier();
    QByteArray triBas, triHaut;
    cles_.reserve(sources.size());
    for (const QString& source : sources) {
        const FichierDecompose d = DecomposeFichier(source);
        const QString nom = d.fichierNom + d.fichierExtension;
        const Cles& c = *cles_.insert(nom, clesDe(nom));
        const QByteArray h = tri(c.haut);
        if (bas_.isNull() || c.triBas < triBas) {
            bas_ = c.bas;
            triBas = c.triBas;
        }
        if (haut_.isNull() || h > triHaut) {
            haut_ = c.haut;
            triHaut = h;
        }
    }
    nombreFichiers_ = int(sources.size());
    aLire_ = !sources.isEmpty();
}

void EntetesDossier::oublier() {
    bas_ = QString();
    haut_ = QString();
    aLire_ = false;
    utilisable_ = false;
    nombreFichiers_ = 0;
    lignes_.clear();
    cles_.clear();
}

bool EntetesDossier::lire() {
    lignes_.clear();
    utilisable_ = false;
    ecritures_ = EcrituresTable(EnregConvertEntete::NoFichier);
    age_.start();
    std::vector<QByteArray> enregistrements;
    const int maximum =
        int(std::min<qint64>(qint64(nombreFichiers_) * kLignesParFichier + kMargeLignes, kLignesMax));
    if (LectureIntervalle(kBase, EnregConvertEntete::NoFichier, EnregConvertEntete::CleNomFichierSource, bas_,
                          haut_, maximum, enregistrements) != 0)
        return false;
    lignes_.reserve(enregistrements.size());
    for (const QByteArray& e : enregistrements) {
        Ligne& l = lignes_.emplace_back();
        l.enreg.setBytes(e);
        const char* cle = e.constData() + EnregConvertEntete::NomFichierSourceChamp.offset;
        const qsizetype taille =
            std::clamp<qsizetype>(e.size() - EnregConvertEntete::NomFichierSourceChamp.offset, 0,
                                  EnregConvertEntete::NomFichierSourceChamp.width);
        l.cleMajuscules = majuscules(fromCp1252(cle, taille));
        l.tri = triOctets(cle, taille);
    }
    utilisable_ = true;
    return true;
}

const EnregConvertEntete* EntetesDossier::chercher(const QString& nomSource, const IdentiteEntete& identite,
                                                   bool& connu) {
    connu = false;
    if (bas_.isNull())
        return nullptr;
    if (aLire_ || ecritures_ != EcrituresTable(EnregConvertEntete::NoFichier) || age_.elapsed() > kAgeMaxMs) {
        aLire_ = false;
        if (!lire())
            return nullptr;
    }
    if (!utilisable_)
        return nullptr;
    // As the search: from the first key at or after bas, in the file's order,
    // while the key in capitals is not above haut; the first header that is
    // the file's is taken.
    const auto connues = cles_.constFind(nomSource);
    const Cles cles = connues != cles_.cend() ? *connues : clesDe(nomSource);
    const QString& haut = cles.haut;
    const QByteArray& debut = cles.triBas;
    auto it = std::lower_bound(lignes_.begin(), lignes_.end(), debut,
                               [](const Ligne& l, const QByteArray& t) { return l.tri < t; });
    for (; it != lignes_.end(); ++it) {
        if (it->cleMajuscules > haut) {
            connu = true;
            return nullptr;
        }
        if (identite.correspond(it->enreg)) {
            connu = true;
            return &it->enreg;
        }
    }
    // The search would go on past what was read.
    return nullptr;
}

} // namespace ks3
