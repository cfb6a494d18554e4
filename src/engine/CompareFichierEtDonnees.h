#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

class EntetesDossier;

// Decides from the conversion history whether source must be converted to
// target; creates or refreshes the file's conversion header when it must.
// With the headers of the source's folder already read (entetes), an unchanged
// file is settled from them, without a search of the history.
void CompareFichierEtDonnees(const QString& source, const QString& target, bool& conversionRequise,
                             QString& idEntete, QDateTime& dateFichierSource, qint64& tailleFichierSource,
                             EntetesDossier* entetes = nullptr);

// The file's last-modification (or last-access) time, local, to the second;
// sets TailleDernierFichier. A file that cannot be read, or that another
// program may still be writing (modified less than 5 seconds from now, either
// way), gives the current time and size 0.
QDateTime DateFichier(const QString& path, bool accessTime);
qint64& TailleDernierFichier();

// The size the history records of a file: its size in bytes, or 9 999 999 999
// (the most that the 10-digit fields hold) for a file of that size or more,
// whose changes its date still shows.
qint64 TailleEnregistrable(qint64 taille);

// How recent a file may be before it counts as still being written.
constexpr int kFichierEnCoursMs = 5000;

} // namespace ks3
