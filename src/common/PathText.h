#pragma once

#include <QString>

namespace ks3 {

// The folder with one trailing "/" (an empty text stays empty).
inline QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

// Doubled separators inside a path reduced to one; the "//" that opens a
// network path stays.
inline QString withSingleSeparators(QString path) {
    for (qsizetype i = path.indexOf(QLatin1String("//"), 1); i > 0; i = path.indexOf(QLatin1String("//"), 1))
        path.remove(i, 1);
    return path;
}

} // namespace ks3
