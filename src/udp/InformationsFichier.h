#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace ks3 {

// What InformationsFichier reports of a file.
struct InformationFichier {
    std::int64_t taille = 0; // the size in bytes; 0 for a missing file
    QDateTime date;          // the modification time; invalid for a missing file
};

// The size and modification time of a file (a missing file leaves the size 0).
void InformationsFichier(const QString& path, InformationFichier& info, bool dateSeule = false,
                         bool taille = true);

} // namespace ks3
