#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace ks3 {

// Reads in one record-manager call the records of a table whose key noCle
// lies between bas and haut (both included, as BTRieve takes a key's text),
// in key order, at most maximum of them; for a caller that looks up many
// records of one range, one call instead of one per record. The table's
// position and record buffer stay as they were. Returns the status: 0, 22
// when the range holds more than maximum records (the first maximum are
// given), or the failure, which is left to the caller (nothing is reported).
int LectureIntervalle(int base, int noFichier, int noCle, const QString& bas, const QString& haut,
                      int maximum, std::vector<QByteArray>& enregistrements);

// The number of records this process has written (inserted, updated, deleted)
// in a table so far: a copy read before is out of date once it has changed.
std::uint64_t EcrituresTable(int noFichier);
// Counts one write in the table (BTRieve, after each successful write).
void CompterEcriture(int noFichier);

} // namespace ks3
