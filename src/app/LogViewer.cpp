#include "app/LogViewer.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"

#include <QFileDialog>
#include <QProcess>
#include <QProcessEnvironment>

namespace ks3 {

QStringList CommandeVisionneuse(const QString& file) {
    const QString visual = QProcessEnvironment::systemEnvironment().value(QStringLiteral("VISUAL")).trimmed();
    QStringList command = visual.isEmpty() ? QStringList{QStringLiteral("xdg-open")}
                                           : QProcess::splitCommand(visual);
    if (command.isEmpty())
        command = {QStringLiteral("xdg-open")};
    command << file;
    return command;
}

void VoirLogFenetre(QWidget* owner, const QString& folder) {
    Procedure p("Lib_Public", "VoirLog");
    QString chosen;
    p.step(10, [&] { VoirLog(folder); });
    p.step(20, [&] {
        const QString proposed = folder + DateTexte(clock().now().date()) + QStringLiteral(".Log");
        chosen = QFileDialog::getOpenFileName(owner, QStringLiteral("Log techniques"), proposed,
                                              QStringLiteral("Logs (*.log *.Log *.LOG)"));
    });
    if (chosen.isEmpty())
        return;
    p.step(30, [&] {
        QStringList command = CommandeVisionneuse(chosen);
        const QString program = command.takeFirst();
        if (!QProcess::startDetached(program, command))
            TraceLog(-1, -1, -1,
                     QStringLiteral("Log viewer Err: cannot start ") + program + QStringLiteral(" |Sub: VoirLog"),
                     true);
    });
}

} // namespace ks3
