#include "engine/DeleteFile.h"

#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"

namespace ks3 {

void DeleteFile(const QString& path, const QString& caller) {
    Procedure p("Lib_Public", "DeleteFile");
    p.step(10, [&] {
        const QString label = QStringLiteral("Lib_Public:DeleteFile");
        if (path.trimmed().isEmpty() || !File_Exist(path, label))
            return;
        if (!path.contains(QLatin1Char('*')))
            File_RemoveFlag(path, 1);
        File_Delete(path, label);
    });
    (void)caller;
}

} // namespace ks3
