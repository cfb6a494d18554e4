#include "common/VisionneuseTexte.h"

#include <QProcess>
#include <QStringList>

namespace ks3 {

QStringList CommandeVisionneuseTexte(const QString& path) {
    const QString visual = qEnvironmentVariable("VISUAL").trimmed();
    QStringList command = visual.isEmpty() ? QStringList() : QProcess::splitCommand(visual);
    if (command.isEmpty())
        command = {QStringLiteral("xdg-open")};
    command << path;
    return command;
}

bool OuvrirVisionneuseTexte(const QString& path) {
    if (path.isEmpty())
        return false;
    QStringList command = CommandeVisionneuseTexte(path);
    const QString program = command.takeFirst();
    if (QProcess::startDetached(program, command))
        return true;
    // A $VISUAL that cannot be started: the desktop's own opener.
    return program != QLatin1String("xdg-open") &&
           QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

} // namespace ks3
