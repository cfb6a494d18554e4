#include "udp/EnregistrementsSonLivre.h"

#include "common/Clock.h"
#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/WorkingFolders.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/ErreurBTrieve.h"
#include "store/RecordBuffers.h"
#include "udp/CheckValiditeValeurMin.h"

namespace ks3 {

namespace {

constexpr int kBase = 0;
const QString& origine() {
    static const QString o = QStringLiteral("FrmSetup:LabelDataArrivalUDP_Change");
    return o;
}

int statut() {
    return btrRequest().BtrStatut;
}

int appel(int operation, QString& cle, int noCle, int noFichier, int station) {
    BTRieve(kBase, operation, cle, noCle, noFichier, station, origine());
    return statut();
}

// The record layer reports every failure except the statuses a caller may
// expect (4 key not found, 5 duplicate key); where this handling does not
// expect them, it reports them itself.
void signaler(int noFichier, const QString& cle) {
    const int st = statut();
    if (st == btr::StatusKeyNotFound || st == btr::StatusDuplicateKey)
        ErreurBTrieve(kBase, noFichier, cle, QString());
}

int nbStations() {
    return workingFolders().nbStation;
}

QString maintenant12() {
    return clock().now().toString(QStringLiteral("yyyyMMddHHmm"));
}

// A total of seconds moved from the old length of a song to its new one,
// never below 0.
QString totalDeplace(std::int64_t total, std::int64_t ancien, std::int64_t nouveau) {
    std::int64_t t = total - ancien + nouveau;
    if (t > INT32_MAX)
        t = INT32_MAX;
    if (t < INT32_MIN)
        t = INT32_MIN;
    auto v = static_cast<std::int32_t>(t);
    CheckValiditeValeurMin(v, 0);
    return ZeroGauche(v, 8);
}

} // namespace

QString ZeroGauche(std::int64_t valeur, int n) {
    QString t = QString::number(valeur < 0 ? -valeur : valeur);
    if (t.size() < n)
        t = QString(n - t.size(), QLatin1Char('0')) + t;
    return t.right(n);
}

void SupprimerPointeursSon(const QString& song) {
    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    const QString haut = song + QString(3, QChar(0xFF));
    for (int s = 1; s <= nbStations(); ++s) {
        p.step(140, [&] {
            for (;;) {
                QString cle = song + QString(3, QChar(0));
                const int st = appel(btr::OpGetGreaterOrEqual, cle, 0, EnregPointeurs::NoFichier, s);
                if (st == btr::StatusEndOfFile)
                    return;
                // A call that fails leaves the position where it was: trying
                // again would fail for ever.
                if (st != 0)
                    return;
                if (cle.left(haut.size()) > haut)
                    return;
                appel(btr::OpDelete, cle, 0, EnregPointeurs::NoFichier, s);
                if (statut() != 0) {
                    signaler(EnregPointeurs::NoFichier, cle);
                    return;
                }
            }
        });
    }
}

void MettreAJourMagnetoSon(const QString& song, const DureeSon& duree) {
    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    EnregMorceauMagneto& m = enregMorceauMagneto();
    for (int s = 1; s <= nbStations(); ++s) {
        p.step(150, [&] {
            QString cle = song;
            int st = appel(btr::OpGetGreaterOrEqual, cle, 0, EnregMorceauMagneto::NoFichier, s);
            while (st == 0 && cle.left(song.size()) <= song) {
                const QString lue = cle;
                m.setDureeMs(duree.millisecondes);
                m.setIndicateurDuree(duree.drapeau);
                m.setTypeSon(QStringLiteral("S"));
                m.setFormatSon(QStringLiteral("S48"));
                appel(btr::OpUpdate, cle, 0, EnregMorceauMagneto::NoFichier, s);
                if (statut() != 0)
                    signaler(EnregMorceauMagneto::NoFichier, cle);
                cle = lue;
                st = appel(btr::OpGetNext, cle, 0, EnregMorceauMagneto::NoFichier, s);
            }
        });
    }
}

void MettreAJourBibliothequeSon(const SonLivre& son) {
    if (son.song.left(3) == QLatin1String("PUB"))
        return;
    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    const std::int64_t S = son.duree.secondes;
    const std::int32_t D = son.duree.millisecondes;
    for (int s = 1; s <= nbStations(); ++s) {
        std::int64_t anciennes = 0;
        QString artistes[2] = {QString(5, QLatin1Char(' ')), QString(5, QLatin1Char(' '))};
        QString categorie(5, QLatin1Char(' '));
        QString themes[15];
        for (QString& t : themes)
            t = QString(5, QLatin1Char(' '));

        // The song record.
        p.step(161, [&] {
            EnregMorceau& m = enregMorceau();
            QString cle = son.song;
            const int st = appel(btr::OpGetEqual, cle, 0, EnregMorceau::NoFichier, s);
            if (st != 0)
                return; // not found: nothing; other statuses reported by the record layer
            anciennes = m.DureeSecondes();
            for (int i = 0; i < 2; ++i)
                artistes[i] = m.rawText(EnregMorceau::CodesArtistesChamp, i);
            categorie = m.rawText(EnregMorceau::CodeCategorieChamp);
            for (int i = 0; i < 15; ++i)
                themes[i] = m.rawText(EnregMorceau::CodesThemesChamp, i);
            const QString six = ZeroGauche(S, 6);
            m.setText(EnregMorceau::DureeSecondesHautChamp, six.left(2));
            m.setText(EnregMorceau::DureeSecondesBasChamp, six.mid(2));
            m.setIndicateurDuree(son.duree.drapeau);
            const QDateTime maintenant = clock().now();
            m.setDateSon(maintenant.toString(QStringLiteral("yyyyMMdd")));
            m.setHeureSon(maintenant.toString(QStringLiteral("HHmmss")));
            m.setNoDrive(son.slot);
            m.setText(EnregMorceau::TailleSonChamp, ZeroGauche(son.taille, 10));
            m.setFormatSon(QStringLiteral("S48"));
            appel(btr::OpUpdate, cle, 0, EnregMorceau::NoFichier, s);
            if (statut() != 0)
                signaler(EnregMorceau::NoFichier, cle);
        });
        p.step(162, [] { DoEvents(); });

        if (anciennes != 0 || S != 0) {
            // The artists' totals.
            p.step(163, [&] {
                EnregArtiste& a = enregArtiste();
                for (const QString& code : artistes) {
                    if (code.trimmed().isEmpty())
                        continue;
                    QString cle = code;
                    if (appel(btr::OpGetEqual, cle, 0, EnregArtiste::NoFichier, s) != 0)
                        continue;
                    a.setText(EnregArtiste::TotalSecondesChamp,
                              totalDeplace(a.number(EnregArtiste::TotalSecondesChamp), anciennes, S));
                    appel(btr::OpUpdate, cle, 0, EnregArtiste::NoFichier, s);
                    if (statut() != 0)
                        signaler(EnregArtiste::NoFichier, cle);
                }
            });
            // The category's and the themes' totals.
            for (int k = 0; k <= 15; ++k) {
                p.step(164, [&] {
                    QString cle = k == 0 ? QStringLiteral("CATEG") + categorie
                                         : QStringLiteral("THEME") + themes[k - 1];
                    if (cle.trimmed().size() <= 5)
                        return;
                    EnregVoixGroupe& v = enregVoixGroupe();
                    if (appel(btr::OpGetEqual, cle, 0, EnregVoixGroupe::NoFichier, s) != 0)
                        return;
                    v.setText(EnregVoixGroupe::TotalSecondesChamp,
                              totalDeplace(v.number(EnregVoixGroupe::TotalSecondesChamp), anciennes, S));
                    appel(btr::OpUpdate, cle, 0, EnregVoixGroupe::NoFichier, s);
                    if (statut() != 0)
                        signaler(EnregVoixGroupe::NoFichier, cle);
                });
                p.step(165, [] { DoEvents(); });
            }
        }

        // The sound information, kept once for all stations.
        if (s == 1) {
            p.step(166, [&] {
                EnregInfoSon& i = enregInfoSon();
                QString cle = son.song;
                const bool nouveau = appel(btr::OpGetEqual, cle, 0, EnregInfoSon::NoFichier, 1) != 0;
                i.setCodeMorceau(son.song);
                const QString maintenant = maintenant12();
                if (nouveau) {
                    i.setDateCreation(maintenant);
                    // The buffer still holds the last record read (another
                    // song's): its text is not this song's.
                    i.setText(EnregInfoSon::Texte124Champ, QString());
                }
                i.setDateModification(maintenant);
                i.setTailleSon(static_cast<std::int32_t>(qMin<std::int64_t>(son.taille, INT32_MAX)));
                i.setDureeMs(D);
                if (nouveau) {
                    i.setText(EnregInfoSon::Champ040, QStringLiteral("N"));
                    for (int n = 0; n < EnregInfoSon::Valeurs044Champ.count; ++n)
                        i.setInt32(EnregInfoSon::Valeurs044Champ, 0, n);
                    i.setInt16(EnregInfoSon::Valeur088Champ, 0);
                    i.setInt32(EnregInfoSon::Valeur092Champ, 0);
                    i.setText(EnregInfoSon::Champ096, QStringLiteral(" "));
                    for (int n = 0; n < EnregInfoSon::Valeurs100Champ.count; ++n)
                        i.setInt32(EnregInfoSon::Valeurs100Champ, 0, n);
                    cle = QString(8, QLatin1Char(' '));
                    appel(btr::OpInsert, cle, 0, EnregInfoSon::NoFichier, 1);
                } else {
                    appel(btr::OpUpdate, cle, 0, EnregInfoSon::NoFichier, 1);
                }
                if (statut() != 0)
                    signaler(EnregInfoSon::NoFichier, cle);
            });
        }

        // The extra key of the song's length.
        p.step(167, [&] {
            EnregMorceauCles& c = enregMorceauCles();
            QString cle = son.song;
            int st = appel(btr::OpGetGreaterOrEqual, cle, EnregMorceauCles::CleCodeMorceau,
                           EnregMorceauCles::NoFichier, s);
            while (st == 0 && cle.left(son.song.size()) == son.song) {
                if (c.TypeCle() == QLatin1String("DUREE")) {
                    c.setText(EnregMorceauCles::ValeurCleChamp, ZeroGauche(S, 5));
                    appel(btr::OpUpdate, cle, EnregMorceauCles::CleCodeMorceau, EnregMorceauCles::NoFichier,
                          s);
                    if (statut() != 0)
                        signaler(EnregMorceauCles::NoFichier, cle);
                    return;
                }
                st = appel(btr::OpGetNext, cle, EnregMorceauCles::CleCodeMorceau, EnregMorceauCles::NoFichier,
                           s);
            }
        });
    }
}

bool MorceauConnuStation1(const QString& song) {
    QString cle = song;
    const int st = appel(btr::OpGetEqual, cle, 0, EnregMorceau::NoFichier, 1);
    return st == 0;
}

} // namespace ks3
