#pragma once

#include <QByteArray>
#include <QString>

namespace ks3 {

// The 8-bit code page of every text file and record field of the suite.
QByteArray toCp1252(const QString& text);
// True when the code page holds text as Latin-1, one byte per character, so
// that a round trip through it gives text back unchanged.
bool sameInCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);
// The same for size bytes at data (a record field read in place).
QString fromCp1252(const char* data, qsizetype size);

} // namespace ks3
