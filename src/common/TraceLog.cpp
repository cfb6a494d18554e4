#include "common/TraceLog.h"

#include "common/Clock.h"
#include "common/ComputerName.h"
#include "common/DateFormats.h"
#include "common/ErrorRoutine.h"
#include "common/Text1252.h"
#include "common/VersionApplication.h"
#include "settings/WorkingFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace ks3 {

namespace {
const QString kHeaderPrefix = QStringLiteral("==:==:==:====:=:=:=:");

QString tagText(int tag) { return tag < 0 ? QStringLiteral(" :") : QString::number(tag) + QLatin1Char(':'); }

QString thirdTagText(int tag) {
    if (tag < 0)
        return QStringLiteral(" :");
    if (tag <= 9)
        return QString::number(tag) + QLatin1Char(':');
    return QString(QChar(55 + tag)) + QLatin1Char(':');
}

void appendLine(QStringListModel& model, const QString& line) {
    const int row = model.rowCount();
    model.insertRows(row, 1);
    model.setData(model.index(row), line);
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

void purgeOldLogs(const QDate& today) {
    const QString folder = workingFolders().logTechFolder;
    const QString limit = DateTexte(today.addDays(-45));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QStringList{QStringLiteral("*.Log")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (name.compare(QStringLiteral("*.log"), Qt::CaseInsensitive) == 0)
            continue;
        const QString base = name.left(name.lastIndexOf(QLatin1Char('.')));
        if (base < limit)
            QFile::remove(folder + name);
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
    const QDateTime now = clock().now();
    const QString day = texteDate(now.date());
    if (list.rowCount() == 0 && s.jourEnteteLog == day)
        return;
    const QString path = workingFolders().logTechFolder + DateTexte(now.date()) + QStringLiteral(".Log");
    QByteArray out;
    p.step(10, [&] {
        if (s.jourEnteteLog != day) {
            for (const QString& h : headerLines())
                out += toCp1252(h) + "\r\n";
            s.jourEnteteLog = day;
            const std::uint64_t days = GetTickCount64() / 1000ull / 86400ull;
            if (days > 45 && !s.alerteReboot45) {
                TraceLog(-1, -1, -1, QStringLiteral("Reboot needed because computer started since more 45 days"), true,
                         false);
                s.alerteReboot45 = true;
            }
            if (days > 48 && !s.alerteReboot48) {
                TraceLog(-1, -1, -1, QStringLiteral("Reboot needed because computer started since more 48 days"), true,
                         false);
                s.alerteReboot48 = true;
            }
        }
    });
    p.step(20, [&] {
        const QStringList lines = list.stringList();
        list.setStringList({});
        for (const QString& line : lines)
            out += toCp1252(line) + "\r\n";
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            raiseError(75, QStringLiteral("Path/File access error: ") + path);
        if (f.write(out) != out.size())
            raiseError(61, QStringLiteral("Disk full: ") + path);
    });
    p.step(30, [&] {
        const QString today = texteDate(clock().now().date());
        if (s.jourPurgeLog != today) {
            purgeOldLogs(clock().now().date());
            s.jourPurgeLog = today;
        }
    });
}

void VoirLog(const QString& folder) {
    // The file dialog and the viewer belong to the windows; see app/LogViewer.
    TraceLogForce(traceLists().listeLog);
    (void)folder;
}

QString TimingMilliSec() {
    const QTime t = clock().now().time();
    return t.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(':') +
           QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
}

std::uint64_t GetTickCount64() {
    TraceLogState& s = traceLogState();
    const std::uint64_t value = clock().tickCount32();
    if (value < s.tickPrecedent)
        s.tickDecalage += 4294967296ull;
    s.tickPrecedent = value;
    return s.tickDecalage + value;
}

QString DateTexte(const QDate& date) {
    const QDate d = date.isValid() ? date : clock().now().date();
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QString TempsDepuisDemarrage(std::uint64_t tickMs) {
    const double seconds = double(tickMs) / 1000.0;
    long long minutes = static_cast<long long>(std::floor(seconds / 60.0));
    const long long s = static_cast<long long>(std::nearbyint(seconds)) % 60; // rounds half to even
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
    return text + QString::number(minutes) + QStringLiteral(" Min ") + QString::number(s) + QStringLiteral(" Sec");
}

} // namespace ks3
