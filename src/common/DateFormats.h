#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Formats with the program's date format ("dd/MM/yyyy" by default).
QString texteDate(const QDate& d);
// Formats with the program's time format ("HH:MM:SS": hours, minutes, seconds).
QString texteHeure(const QTime& t);
// Date, a space and time: what the main window shows for the next run.
QString texteDateHeure(const QDateTime& dt);
// Turns a format text of the suite (where MM after hours means minutes and S
// means seconds) into Qt's notation.
QString formatHeureQt(const QString& suiteFormat);

} // namespace ks3
