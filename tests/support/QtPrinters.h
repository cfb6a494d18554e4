#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QDateTime& t, std::ostream* os) {
    *os << t.toString(Qt::ISODateWithMs).toStdString();
}
