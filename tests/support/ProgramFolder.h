#pragma once

// The real program in a program folder of its own, for the tests that run it
// as a process (kills, limits, floods): its executables copied in, its
// settings written, its trace log and record files read back.

#include "platform/Text1252.h"
#include "support/ProgramTraceLog.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <sqlite3.h>

#include <functional>

namespace ks3::test {

class ProgramFolder {
public:
    explicit ProgramFolder(const TempDir& dir) : prog(dir.file(QStringLiteral("prog/"))), dir_(dir) {
        QDir().mkpath(prog);
        for (const char* exe : {"KS3_Tools_Convert", "CoreConverter"}) {
            const QString to = prog + QString::fromLatin1(exe);
            QFile::copy(QStringLiteral(KS3_BIN_DIR "/") + QString::fromLatin1(exe), to);
            QFile(to).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
    }

    const QString prog; // ends with "/"

    void writeSettings(const QString& ini) const {
        dir_.write(QStringLiteral("prog/Settings/KS3_Convert/KS3_Tools_Convert.Ini"), toCp1252(ini));
    }

    // The program started with these arguments, on Qt's offscreen platform,
    // its output merged.
    void start(QProcess& p, const QStringList& arguments = {QStringLiteral("--once")}) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(prog + QStringLiteral("KS3_Tools_Convert"), arguments);
        p.waitForStarted(30000);
    }

    // Every trace-log file of the program, in name order (the converter's
    // error files excluded).
    QString traceLog() const { return programTraceLog(prog); }

    // The record files (".bt6") below the program folder that fail SQLite's
    // integrity check, each with the check's first line; empty when all pass.
    QStringList damagedRecordFiles() const {
        QStringList bad;
        QDirIterator it(prog, {QStringLiteral("*.bt6")}, QDir::Files, QDirIterator::Subdirectories);
        int seen = 0;
        while (it.hasNext()) {
            const QString f = it.next();
            ++seen;
            sqlite3* db = nullptr;
            QString result = QStringLiteral("cannot open");
            if (sqlite3_open_v2(QFile::encodeName(f).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
                SQLITE_OK) {
                sqlite3_stmt* st = nullptr;
                if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
                    sqlite3_step(st) == SQLITE_ROW)
                    result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                else
                    result = QString::fromUtf8(sqlite3_errmsg(db));
                sqlite3_finalize(st);
            }
            sqlite3_close(db);
            if (result != QLatin1String("ok"))
                bad << f + QStringLiteral(": ") + result;
        }
        if (seen == 0)
            bad << QStringLiteral("no record file at all");
        return bad;
    }

    // The processes whose parent is pid.
    static QList<qint64> childrenOf(qint64 pid) { return childProcessesOf(pid); }

    static bool waitFor(const std::function<bool()>& condition, int ms, int stepMs = 5) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > ms)
                return false;
            QThread::msleep(stepMs);
        }
        return true;
    }

private:
    const TempDir& dir_;
};

} // namespace ks3::test
