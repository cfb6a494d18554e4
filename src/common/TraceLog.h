#pragma once

#include <QDate>
#include <QString>
#include <QStringListModel>
#include <cstdint>
#include <functional>

namespace ks3 {

// The lines waiting to be written, shown live by the windows.
struct TraceLists {
    QStringListModel listeLogTemp; // lines traced before the options window is loaded
    QStringListModel listeLog;     // lines traced after; the list that is written to the file
    bool frmSetupCharge = false;   // set once the options window is loaded
};
TraceLists& traceLists();

// Process-wide state of the log, reset only by a restart (or by tests).
struct TraceLogState {
    QString jourEnteteLog;
    QString jourPurgeLog;
    bool alerteReboot45 = false;
    bool alerteReboot48 = false;
    std::uint64_t tickPrecedent = 0;
    std::uint64_t tickDecalage = 0;
    bool tickDemarre = false; // the first GetTickCount64 took the count's part above 32 bits
};
TraceLogState& traceLogState();
void resetTraceLog(); // empties both lists and the state (tests and restarts)

// Adds one trace line.
void TraceLog(int tag1, int tag2, int tag3, const QString& message, bool forced = false,
              bool flushAllowed = true);
// Three lines: a frame of frameCharacter, the message, the frame again.
void TraceLogEncadre(int tag1, int tag2, int tag3, const QString& message, const QString& frameCharacter,
                     bool forced);
// Writes the waiting lines of the list to the day's file and empties it.
void TraceLogForce(QStringListModel& list);
// Writes the waiting lines, then lets the user choose a log file (today's is
// proposed) with the dialog of the services (CommonServices::logFileChoice)
// and opens it in their text viewer (the desktop's by default). Without a
// dialog (no windows), only the lines are written.
void VoirLog(const QString& folder);

// "HH:MM:SS:mmm" of the local time.
QString TimingMilliSec();
// Milliseconds since the computer started, continuing across the 32-bit wrap.
std::uint64_t GetTickCount64();
// "yyyymmdd"; an invalid date gives today's.
QString DateTexte(const QDate& date);
// "3 D 4 H 5 Min 6 Sec" for the time since the computer started.
QString TempsDepuisDemarrage(std::uint64_t tickMs);

} // namespace ks3
