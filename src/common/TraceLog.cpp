#include "common/TraceLog.h"

#include "common/Clock.h"
#include "common/CommonServices.h"
#include "common/ComputerName.h"
#include "common/ControlEscapes.h"
#include "common/DateFormats.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/ListLines.h"
#include "common/VersionApplication.h"
#include "common/VisionneuseTexte.h"
#include "common/WorkingFolders.h"
#include "platform/Text1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace ks3 {

namespace {
const QString kHeaderPrefix = QStringLiteral("==:==:==:====:=:=:=:");

QString tagText(int tag) {
    return tag < 0 ? QStringLiteral(" :") : QString::number(tag) + QLatin1Char(':');
}

QString thirdTagText(int tag) {
    if (tag < 0)
        return QStringLiteral(" :");
    if (tag <= 9)
        return QString::number(tag) + QLatin1Char(':');
    return QString(QChar(55 + tag)) + QLatin1Char(':');
}

void appendAll(QStringListModel& to, const QStringList& lines) {
    if (lines.isEmpty())
        return;
    const int row = to.rowCount();
    to.insertRows(row, int(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        to.setData(to.index(row + i), lines.at(i));
}

QStringList headerLines() {
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return {
        kHeaderPrefix + QStringLiteral("==========================================="),
        kHeaderPrefix + QStringLiteral("System started since ") + TempsDepuisDemarrage(GetTickCount64()),
        kHeaderPrefix + QStringLiteral("App.Version: ") + VersionApplication(),
        kHeaderPrefix + QStringLiteral("App.ExeName: ") + exe,
        kHeaderPrefix + QStringLiteral("App.ProductName: ") + QStringLiteral("Kestrel Tools Convert"),
        kHeaderPrefix + QStringLiteral("Computer.Name: ") + ComputerName(),
        // No operating-system line: the version table only knows Windows versions.
        kHeaderPrefix + QStringLiteral("==========================================="),
    };
}

// Deletes the log files of the folder whose name (without extension) sorts
// before the day 45 days ago: 20240101.Log goes on 16 February 2024, and so
// does 0001.Log, but Archive.Log stays (letters sort after digits).
void purgeOldLogs(const QString& folder, const QDate& today) {
    const QString limit = DateTexte(today.addDays(-45));
    const QDir dir(folder);
    // Name filters ignore letter case, as the suite's file search did.
    const QStringList names = dir.entryList(QStringList{QStringLiteral("*.Log")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString base = dot < 0 ? name : name.left(dot);
        if (base < limit)
            File_Delete(folder + name, QStringLiteral("Lib_Public:TraceLogForce"), 0, 0);
    }
}
} // namespace

TraceLists& traceLists() {
    static TraceLists l;
    return l;
}

TraceLogState& traceLogState() {
    static TraceLogState s;
    return s;
}

void resetTraceLog() {
    traceLists().listeLog.setStringList({});
    traceLists().listeLogTemp.setStringList({});
    traceLists().frmSetupCharge = false;
    traceLogState() = TraceLogState{};
}

void TraceLog(int tag1, int tag2, int tag3, const QString& message, bool forced, bool flushAllowed) {
    Procedure p("Lib_Public", "TraceLog");
    TraceLists& l = traceLists();
    bool stored = false;
    p.step(10, [&] {
        QString line = TimingMilliSec() + QStringLiteral(" :");
        if (tag2 == -2 && tag3 == -2)
            line += QStringLiteral("Debug:");
        else
            line += tagText(tag1) + tagText(tag2) + thirdTagText(tag3);
        line += message;
        if (l.frmSetupCharge) {
            appendAll(l.listeLog, l.listeLogTemp.stringList());
            if (l.listeLogTemp.rowCount() > 0)
                l.listeLogTemp.setStringList({});
            appendLine(l.listeLog, line);
            stored = true;
        } else {
            appendLine(l.listeLogTemp, line);
        }
    });
    if (!stored)
        return;
    p.step(20, [&] {
        if (forced && flushAllowed)
            TraceLogForce(l.listeLog);
    });
    p.step(30, [&] {
        if (flushAllowed && l.listeLog.rowCount() >= 200)
            TraceLogForce(l.listeLog);
    });
}

void TraceLogEncadre(int tag1, int tag2, int tag3, const QString& message, const QString& frameCharacter,
                     bool forced) {
    Procedure p("Lib_Public", "TraceLogEncadre");
    p.step(10, [&] {
        const QChar c = frameCharacter.isEmpty() ? QLatin1Char(' ') : frameCharacter.at(0);
        const QString frame(message.size(), c);
        TraceLog(tag1, tag2, tag3, frame, false, true);
        TraceLog(tag1, tag2, tag3, message, forced, true);
        TraceLog(tag1, tag2, tag3, frame, false, true);
    });
}

void TraceLogForce(QStringListModel& list) {
    Procedure p("Lib_Public", "TraceLogForce");
    TraceLogState& s = traceLogState();
    const QString folder = workingFolders().logTechFolder;
    // Before the working folders are known there is nowhere to write: the
    // lines wait for a later batch rather than land in the current folder.
    if (folder.trimmed().isEmpty())
        return;
    const QDateTime now = clock().now();
    const QString day = texteDate(now.date());
    if (list.rowCount() == 0 && s.jourEnteteLog == day)
        return;
    const QString path = folder + DateTexte(now.date()) + QStringLiteral(".Log");
    QStringList header;
    p.step(10, [&] {
        if (s.jourEnteteLog == day)
            return;
        header = headerLines();
        s.jourEnteteLog = day;
        // The restart warnings are traced as any line, then taken to the head
        // of the batch so that they stand right below the header.
        const int before = list.rowCount();
        const std::uint64_t days = GetTickCount64() / 1000ull / 86400ull;
        if (days > 45 && !s.alerteReboot45) {
            TraceLog(-1, -1, -1, QStringLiteral("Reboot needed because computer started since more 45 days"),
                     true, false);
            s.alerteReboot45 = true;
        }
        if (days > 48 && !s.alerteReboot48) {
            TraceLog(-1, -1, -1, QStringLiteral("Reboot needed because computer started since more 48 days"),
                     true, false);
            s.alerteReboot48 = true;
        }
        if (list.rowCount() > before) {
            header += list.stringList().mid(before);
            list.removeRows(before, list.rowCount() - before);
        }
    });
    p.step(20, [&] {
        // The batch leaves the list whether or not the file takes it, so a log
        // that cannot be written never grows without end.
        QStringList lines = header + list.stringList();
        list.setStringList({});
        if (lines.isEmpty())
            return;
        // One entry, one line of the file, whatever a file name or a
        // datagram in it holds.
        for (QString& line : lines)
            line = EchappeControles(line);
        lines.append(QString());
        const QByteArray out = toCp1252(lines.join(QStringLiteral("\r\n")));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            raiseError(75, QStringLiteral("Path/File access error: ") + path);
        if (f.write(out) != out.size() || !f.flush())
            raiseError(61, QStringLiteral("Disk full: ") + path);
        f.close();
    });
    p.step(30, [&] {
        const QDate today = clock().now().date();
        if (s.jourPurgeLog == texteDate(today))
            return;
        // Marked first: a deletion that fails is traced, and that trace may
        // start a batch of its own, which must not begin the pass again.
        s.jourPurgeLog = texteDate(today);
        purgeOldLogs(folder, today);
    });
}

void VoirLog(const QString& folder) {
    Procedure p("Lib_Public", "VoirLog");
    p.step(10, [&] { TraceLogForce(traceLists().listeLog); });
    p.step(20, [&] {
        const ChoixFichierLog& dialog = commonServices().logFileChoice;
        if (!dialog)
            return;
        const QString proposed = folder + DateTexte(clock().now().date()) + QStringLiteral(".Log");
        const QString chosen = dialog(folder, proposed, QStringLiteral("Logs|*.log"));
        if (chosen.isEmpty())
            return; // cancelled
        if (const TextViewer& viewer = commonServices().textViewer)
            viewer(chosen);
        else
            OuvrirVisionneuseTexte(chosen);
    });
}

QString TimingMilliSec() {
    Procedure p("Lib_Systeme", "TimingMilliSec");
    QString text;
    p.step(10, [&] {
        const QTime t = clock().now().time();
        text = t.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(':') +
               QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
    });
    return text;
}

std::uint64_t GetTickCount64() {
    Procedure p("Lib_Systeme", "GetTickCount64");
    TraceLogState& s = traceLogState();
    std::uint64_t value = 0;
    std::uint64_t result = 0;
    p.step(10, [&] {
        if (!s.tickDemarre) {
            // Start from the full count, so a computer up for more than 49.7 days
            // before the program started still shows its real time since start-up.
            const std::uint64_t full = clock().tickCount64();
            value = full & 0xFFFFFFFFull;
            s.tickDecalage = full - value;
            s.tickDemarre = true;
        } else {
            value = clock().tickCount32();
        }
        if (value < s.tickPrecedent)
            s.tickDecalage += 4294967296ull;
        s.tickPrecedent = value;
        result = s.tickDecalage + value;
    });
    return result;
}

QString DateTexte(const QDate& date) {
    const QDate d = date.isValid() ? date : clock().now().date();
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QString TempsDepuisDemarrage(std::uint64_t tickMs) {
    // Seconds rounded first (a half to the even neighbour), then split, so that
    // 119.6 s reads 2 Min 0 Sec rather than 1 Min 0 Sec.
    const long long total = static_cast<long long>(std::nearbyint(double(tickMs) / 1000.0));
    long long minutes = total / 60;
    const long long s = total % 60;
    long long hours = 0;
    long long days = 0;
    if (minutes >= 60) {
        hours = minutes / 60;
        minutes %= 60;
        if (hours >= 24) {
            days = hours / 24;
            hours %= 24;
        }
    }
    QString text;
    if (days > 0)
        text = QString::number(days) + QStringLiteral(" D ") + QString::number(hours) + QStringLiteral(" H ");
    else if (hours > 0)
        text = QString::number(hours) + QStringLiteral(" H ");
    return text + QString::number(minutes) + QStringLiteral(" Min ") + QString::number(s) +
           QStringLiteral(" Sec");
}

} // namespace ks3
