#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace ks3 {

// Starts program with its argument list (no shell) and waits for its end while
// pending events keep running. Returns the exit code; -1 when it could not be
// started or when maxWaitMs (below 1: no limit) passed first, in which case the
// process is left running. When visible, the process's output is handed to the
// output viewer as it arrives. The process never outlives the program: it is
// sent SIGTERM when the program ends, whatever way it ends.
int AttenteFinProcessusExterne(const QString& program, const QStringList& arguments, int maxWaitMs,
                               bool visible);

// Starts program as AttenteFinProcessusExterne does, without waiting: the
// process, which deletes itself once ended (hold it in a QPointer: it may go
// whenever pending events run), or nullptr when it could not be started. For a
// caller that has several processes going at once.
QProcess* DemarrerProcessusExterne(const QString& program, const QStringList& arguments, bool visible);

// Where the output of a converter started "in a normal window" goes
// (EngineServices::processOutputViewer); without one, to standard error.
using ProcessOutputViewer = std::function<void(const QString& title, const QByteArray& output)>;

} // namespace ks3
