#pragma once

#include <QByteArray>
#include <QString>

namespace ks3 {

// The 8-bit code page of every text file and record field of the suite.
QByteArray toCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);

} // namespace ks3
