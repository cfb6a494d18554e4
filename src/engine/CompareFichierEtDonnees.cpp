#include "engine/CompareFichierEtDonnees.h"

#include "common/Clock.h"
#include "common/DateFormats.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "engine/DecomposeFichier.h"
#include "engine/EntetesDossier.h"
#include "engine/IdentiteEntete.h"
#include "engine/RunState.h"
#include "platform/Btrcall.h"
#include "platform/Text1252.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/RecordBuffers.h"

namespace ks3 {

namespace {
const QString kOrigine = QStringLiteral("FrmMain:CompareFichierEtDonnees");
constexpr int kBase = 0;
constexpr int kStation = 0;
// Numbers tried for a new header before giving up.
constexpr int kEssaisEnteteMax = 100;

// Sizes are never negative here (TailleEnregistrable).
QString taille10(qint64 size) {
    return QString::number(size).rightJustified(10, QLatin1Char('0'));
}

QString dateAffichee(const QString& texte) {
    const QDateTime dt = QDateTime::fromString(texte, QStringLiteral("yyyyMMddHHmmss"));
    return dt.isValid() ? texteDateHeure(dt) : texte;
}

int statut() {
    return btrRequest().BtrStatut;
}
} // namespace

qint64 TailleEnregistrable(qint64 taille) {
    return qBound<qint64>(0, taille,
                          recordtext::largestNumber(EnregConvertEntete::TailleFichierSourceChamp.width));
}

void CompareFichierEtDonnees(const QString& source, const QString& target, bool& conversionRequise,
                             QString& idEntete, QDateTime& dateFichierSource, qint64& tailleFichierSource,
                             EntetesDossier* entetes) {
    Procedure p("FrmMain", "CompareFichierEtDonnees");
    RunState& s = runState();
    EnregConvertEntete& entete = enregConvertEntete();
    conversionRequise = false;
    idEntete.clear();
    FichierDecompose src;
    FichierDecompose cible;
    QString nomSource;
    QString nomCible;
    IdentiteEntete identite;

    p.step(10, [&] {
        dateFichierSource = DateFichier(source, false);
        tailleFichierSource = TailleDernierFichier();
    });
    p.step(20, [&] {
        src = DecomposeFichier(source);
        cible = DecomposeFichier(target);
        nomSource = src.fichierNom + src.fichierExtension;
        nomCible = cible.fichierNom + cible.fichierExtension;
        identite = IdentiteEntete(src.fichierDossier, nomSource, cible.fichierDossier, nomCible);
    });

    // The folder's headers read at once settle an unchanged file: same header
    // as the search would find, same date and size, nothing left to convert.
    bool inchange = false;
    if (entetes)
        p.step(25, [&] {
            bool connu = false;
            const EnregConvertEntete* lu = entetes->chercher(nomSource, identite, connu);
            if (connu && lu && recordtext::dateTime14(dateFichierSource) == lu->DateFichierSource() &&
                taille10(TailleEnregistrable(tailleFichierSource)) == lu->TailleFichierSource() &&
                lu->AConvertir() != QLatin1String("O")) {
                idEntete = lu->IdEntete();
                inchange = true;
            }
        });
    if (inchange)
        return;

    p.step(30, [&] {
        // The name as key 1 holds it: cut to the field, with its blanks.
        QString bas, haut;
        EntetesDossier::clesRecherche(nomSource, bas, haut);
        QString cle = bas;
        int operation = btr::OpGetGreaterOrEqual;
        for (;;) {
            BTRieve(kBase, operation, cle, EnregConvertEntete::CleNomFichierSource,
                    EnregConvertEntete::NoFichier, kStation, kOrigine);
            const int st = statut();
            if (st == 9)
                break;
            if (cle.toUpper() > haut)
                break;
            const bool trouve = identite.correspond(entete);
            if (trouve) {
                idEntete = entete.IdEntete();
                const QString dateSource = recordtext::dateTime14(dateFichierSource);
                if (dateSource != entete.DateFichierSource()) {
                    conversionRequise = true;
                    appendLine(s.listeFichiersCible, nomSource + QLatin1Char(':'));
                    appendLine(s.listeFichiersCible, QStringLiteral("Date différente (Anc. <> Act.): ") +
                                                         dateAffichee(entete.DateFichierSource()) +
                                                         QStringLiteral(" <> ") + dateAffichee(dateSource));
                }
                if (taille10(TailleEnregistrable(tailleFichierSource)) != entete.TailleFichierSource()) {
                    conversionRequise = true;
                    appendLine(s.listeFichiersCible, nomSource + QLatin1Char(':'));
                    appendLine(s.listeFichiersCible,
                               QStringLiteral("Taille différente (Anc. <> Act.): ") +
                                   QString::number(entete.TailleFichierSource().toLongLong()) +
                                   QStringLiteral(" <> ") + QString::number(tailleFichierSource));
                }
                if (entete.AConvertir() == QLatin1String("O")) {
                    conversionRequise = true;
                    appendLine(s.listeFichiersCible, nomSource + QLatin1Char(':'));
                    appendLine(s.listeFichiersCible, QStringLiteral("A Convertir"));
                }
                break;
            }
            // A failing call does not move the position: going on would read the
            // same record for ever.
            if (st != 0)
                break;
            operation = btr::OpGetNext;
        }
    });

    auto remplirEntete = [&] {
        entete.setIdEntete(idEntete);
        entete.setDateTraitement(clock().now());
        entete.setDateFichierSource(dateFichierSource);
        entete.setTailleFichierSource(TailleEnregistrable(tailleFichierSource));
        entete.setAConvertir(QStringLiteral("O"));
        identite.ecrire(entete);
    };

    if (idEntete.isEmpty()) {
        p.step(40, [&] {
            appendLine(s.listeFichiersCible, QStringLiteral("Fichier non encore traité: ") + source);
        });
        // Another program (another instance on the same data folder) may take
        // the same number between the look-up and the insert: the insert then
        // finds the number taken (status 5) and the next one is tried.
        bool cree = false;
        int essais = 0;
        p.step(50, [&] {
            qint64 dernierEssai = 0;
            while (!cree && essais < kEssaisEnteteMax) {
                ++essais;
                QString cle = QStringLiteral("zzzzzzzzzz");
                BTRieve(kBase, btr::OpGetLessOrEqual, cle, EnregConvertEntete::CleIdEntete,
                        EnregConvertEntete::NoFichier, kStation, kOrigine);
                qint64 numero = 1;
                if (statut() != 9 && cle.left(10) >= QLatin1String("0000000001"))
                    numero = entete.IdEntete().toLongLong() + 1;
                numero = qMax(numero, dernierEssai + 1);
                dernierEssai = numero;
                idEntete = QStringLiteral("%1").arg(numero, 10, 10, QLatin1Char('0'));

                // The buffer still holds the last header read: a new file has no
                // result yet (not even another file's), and no reserved bytes.
                entete.setConversionOK(QString());
                entete.setText(EnregConvertEntete::ReserveChamp, QString());
                remplirEntete();
                cle = QString(10, QLatin1Char(' '));
                BTRieve(kBase, btr::OpInsert, cle, EnregConvertEntete::CleIdEntete,
                        EnregConvertEntete::NoFichier, kStation, kOrigine);
                if (statut() == 0)
                    cree = true;
                else if (statut() != btr::StatusDuplicateKey)
                    break; // reported by the record layer
            }
        });
        if (!cree) {
            // Without its own header the attempt would be recorded under another
            // file's: the file waits for the next run.
            p.step(60, [&] {
                TraceLog(
                    -1, -1, -1,
                    QStringLiteral("Err: CompareFichierEtDonnees: conversion header not created (status ") +
                        QString::number(statut()) + QStringLiteral(", ") + QString::number(essais) +
                        QStringLiteral(" tries), file not converted |Source: ") + source +
                        QStringLiteral(" |Sub: CompareFichierEtDonnees"),
                    true);
                idEntete.clear();
            });
            return;
        }
        p.step(70, [&] { conversionRequise = true; });
        return;
    }

    if (conversionRequise) {
        p.step(80, [&] {
            QString cle = idEntete;
            BTRieve(kBase, btr::OpGetEqual, cle, EnregConvertEntete::CleIdEntete,
                    EnregConvertEntete::NoFichier, kStation, kOrigine);
            if (statut() != 0)
                return;
            remplirEntete();
            BTRieve(kBase, btr::OpUpdate, cle, EnregConvertEntete::CleIdEntete, EnregConvertEntete::NoFichier,
                    kStation, kOrigine);
        });
    }
}

} // namespace ks3
