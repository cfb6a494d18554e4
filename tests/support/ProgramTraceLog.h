#pragma once

#include "platform/Text1252.h"
#include "support/TempDir.h"

#include <QDirIterator>
#include <QList>
#include <QString>
#include <QStringList>

namespace ks3::test {

// Every trace-log file below a program folder, in name order, decoded from
// Windows-1252 (the converter's error files in "Err_Convert" left out).
inline QString programTraceLog(const QString& prog) {
    QStringList files;
    QDirIterator it(prog, {QStringLiteral("*.Log")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains(QStringLiteral("Err_Convert")))
            files << f;
    }
    files.sort();
    QString text;
    for (const QString& f : files)
        text += fromCp1252(TempDir::read(f));
    return text;
}

// The processes whose parent is pid.
inline QList<qint64> childProcessesOf(qint64 pid) {
    QList<qint64> children;
    if (pid <= 0) // no process: an ended QProcess
        return children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 candidate = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and brackets.
        const QByteArray stat = TempDir::read(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            children << candidate;
    }
    return children;
}

} // namespace ks3::test
