#include "common/TrimSpaces.h"

namespace ks3 {

QString trimSpaces(const QString& s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && s.at(to - 1) == QLatin1Char(' '))
        --to;
    return s.mid(from, to - from);
}

} // namespace ks3
