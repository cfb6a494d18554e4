#pragma once

#include <QString>

namespace ks3 {

// The folder with one trailing "/" (an empty text stays empty).
inline QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace ks3
