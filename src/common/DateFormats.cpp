#include "common/DateFormats.h"

#include "common/ProgramValues.h"

namespace ks3 {

QString formatHeureQt(const QString& suiteFormat) {
    QString f = suiteFormat;
    f.replace(QStringLiteral("MM"), QStringLiteral("mm"));
    f.replace(QLatin1Char('S'), QLatin1Char('s'));
    return f;
}

QString texteDate(const QDate& d) {
    return d.toString(programValues().formatDate);
}

QString texteHeure(const QTime& t) {
    return t.toString(formatHeureQt(programValues().formatHeure));
}

QString texteDateHeure(const QDateTime& dt) {
    return texteDate(dt.date()) + QLatin1Char(' ') + texteHeure(dt.time());
}

} // namespace ks3
