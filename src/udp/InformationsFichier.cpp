#include "udp/InformationsFichier.h"

#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "engine/DecomposeFichier.h"

#include <QFileInfo>

namespace ks3 {

void InformationsFichier(const QString& path, InformationFichier& info, bool dateSeule, bool taille) {
    Procedure p("Lib_Public", "InformationsFichier");
    info = InformationFichier{};
    p.step(10, [&] {
        DecomposeFichier(path);
        if (!File_Exist(path, QStringLiteral("Lib_Public:InformationsFichier")))
            return;
        const QFileInfo fi(path);
        if (taille && !dateSeule)
            info.taille = fi.size();
        info.date = fi.lastModified();
    });
}

} // namespace ks3
