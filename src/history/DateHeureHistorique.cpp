#include "history/DateHeureHistorique.h"

#include "common/DateFormats.h"
#include "common/ProgramValues.h"

#include <QDate>
#include <QTime>

namespace ks3 {

namespace {

int piece(const QString& champ, int debut, int longueur) {
    bool ok = false;
    const int n = champ.mid(debut, longueur).trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString deuxChiffres(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Writes the pieces through the format itself, so that a piece out of range
// (month 0 of a blank field) still shows as it was read.
QString appliquer(QString format, int annee, int mois, int jour) {
    format.replace(QStringLiteral("yyyy"), QStringLiteral("%1").arg(annee, 4, 10, QLatin1Char('0')));
    format.replace(QStringLiteral("MM"), deuxChiffres(mois));
    format.replace(QStringLiteral("dd"), deuxChiffres(jour));
    return format;
}

} // namespace

QString DateHeureHistorique(const QString& champ14) {
    const int annee = piece(champ14, 0, 4);
    const int mois = piece(champ14, 4, 2);
    const int jour = piece(champ14, 6, 2);
    const int heure = piece(champ14, 8, 2);
    const int minute = piece(champ14, 10, 2);
    const int seconde = piece(champ14, 12, 2);
    const QDate date(annee, mois, jour);
    const QTime temps(heure, minute, seconde);
    const QString texteJour =
        date.isValid() ? texteDate(date) : appliquer(programValues().formatDate, annee, mois, jour);
    const QString texteTemps = temps.isValid()
                                   ? texteHeure(temps)
                                   : deuxChiffres(heure) + QLatin1Char(':') + deuxChiffres(minute) +
                                         QLatin1Char(':') + deuxChiffres(seconde);
    return texteJour + QLatin1Char(' ') + texteTemps;
}

} // namespace ks3
