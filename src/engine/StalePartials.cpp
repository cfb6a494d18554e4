#include "engine/StalePartials.h"

#include "common/FileUtils.h"
#include "common/TraceLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace ks3 {

namespace {

// ".CoreConverter.1234.part" and the older ".song.mp3.1234.part": the PID is
// the last number before ".part".
const QRegularExpression& partialName() {
    static const QRegularExpression re(QStringLiteral("^\\..+\\.([0-9]{1,9})\\.part$"));
    return re;
}

bool processGone(qint64 pid) {
    if (pid <= 0)
        return false;
    // kill(pid, 0) sends nothing; it only says whether the process exists
    // (EPERM: it exists under another user).
    if (::kill(pid_t(pid), 0) != 0)
        return errno == ESRCH;
    // A process that ended but that its parent has not collected yet still
    // answers; it writes nothing any more. Its state is the letter after the
    // command name in parentheses, which may itself hold blanks and ")".
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 1).trimmed().startsWith('Z');
}

} // namespace

int RemoveStalePartials(const QString& folder) {
    if (folder.isEmpty())
        return 0;
    int removed = 0;
    QDirIterator it(folder, {QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        const QRegularExpressionMatch m = partialName().match(it.fileName());
        if (!m.hasMatch() || !processGone(m.captured(1).toLongLong()))
            continue;
        if (File_Delete(path, QStringLiteral("StalePartials:RemoveStalePartials"))) {
            TraceLog(-1, -1, -1, QStringLiteral("Convert: fichier temporaire abandonné supprimé: ") + path);
            ++removed;
        }
    }
    return removed;
}

} // namespace ks3
