#include "common/VisionneuseTexte.h"

#include <QProcess>
#include <QStringList>

namespace ks3 {

bool OuvrirVisionneuseTexte(const QString& path) {
    if (path.isEmpty())
        return false;
    const QString visual = qEnvironmentVariable("VISUAL").trimmed();
    if (!visual.isEmpty()) {
        QStringList words = QProcess::splitCommand(visual);
        if (!words.isEmpty()) {
            const QString program = words.takeFirst();
            if (QProcess::startDetached(program, words << path))
                return true;
        }
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

} // namespace ks3
