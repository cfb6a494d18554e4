#include "common/ui/LogFileDialog.h"

#include "common/ui/AfficherAuDessus.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>

namespace ks3 {

namespace {

// "Logs|*.log|All|*.*" -> {"Logs (*.log *.Log *.LOG)", "All (*.*)"}. File names
// are case-sensitive here, so each pattern also comes in the two other cases
// of its extension.
QStringList qtFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            const qsizetype dot = t.lastIndexOf(QLatin1Char('.'));
            QStringList forms{t};
            if (dot >= 0 && t.mid(dot + 1) != QLatin1String("*")) {
                const QString ext = t.mid(dot + 1);
                forms << t.left(dot + 1) + ext.left(1).toUpper() + ext.mid(1).toLower()
                      << t.left(dot + 1) + ext.toUpper();
            }
            for (const QString& f : forms)
                if (!patterns.contains(f))
                    patterns << f;
        }
        out << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out;
}

} // namespace

QString DialogueFichierLog(const QString& folder, const QString& proposedFile, const QString& filter,
                           QWidget* owner) {
    QFileDialog dialog(owner ? owner : QApplication::activeWindow(), QString(), folder);
    dialog.setObjectName(QStringLiteral("DialogueFichierLog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = qtFilters(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.selectFile(proposedFile);
    // Always-on-top windows step back while the dialog waits, and come back
    // after it, also when it is cancelled.
    AfficherMessageBoxOuInputBox(true);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    AfficherMessageBoxOuInputBox(false);
    return accepted ? dialog.selectedFiles().value(0) : QString();
}

ChoixFichierLog DialogueFichierLogService(QWidget* owner) {
    QPointer<QWidget> guarded(owner);
    return [guarded](const QString& folder, const QString& proposed, const QString& filter) {
        return DialogueFichierLog(folder, proposed, filter, guarded.data());
    };
}

} // namespace ks3
