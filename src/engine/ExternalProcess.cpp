#include "engine/ExternalProcess.h"

#include "common/DoEvents.h"
#include "common/TraceLog.h"
#include "engine/EngineServices.h"

#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

namespace ks3 {

namespace {

// Starts the process; the caller owns it.
std::unique_ptr<QProcess> startProcess(const QString& program, const QStringList& arguments, bool visible) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    const QString title = QFileInfo(program).fileName();
    if (visible) {
        QProcess* p = process.get();
        QObject::connect(p, &QProcess::readyRead, p, [p, title] {
            const QByteArray out = p->readAll();
            if (const ProcessOutputViewer& viewer = engineServices().processOutputViewer)
                viewer(title, out);
            else
                std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
        });
    } else {
        process->setStandardOutputFile(QProcess::nullDevice());
    }
    // The process ends with the program: when the program dies, even killed
    // outright, the kernel sends it SIGTERM (a converter then removes its
    // temporary output). A program that died between the fork and the prctl
    // call sends nothing: the child sees it by its new parent and ends there.
    const pid_t parent = ::getpid();
    process->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
    });
    process->start(program, arguments);
    if (!process->waitForStarted(30000))
        return nullptr;
    return process;
}

// A process left to finish by itself is deleted once it has ended (deleting a
// running QProcess would kill it), never at once: its last owner may still
// hold it for a moment.
void leaveToFinish(std::unique_ptr<QProcess> process) {
    QProcess* p = process.release();
    if (p->state() == QProcess::NotRunning)
        p->deleteLater();
    else
        QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
}

} // namespace

QProcess* DemarrerProcessusExterne(const QString& program, const QStringList& arguments, bool visible) {
    std::unique_ptr<QProcess> process = startProcess(program, arguments, visible);
    if (!process)
        return nullptr;
    QProcess* p = process.get();
    leaveToFinish(std::move(process));
    return p;
}

int AttenteFinProcessusExterne(const QString& program, const QStringList& arguments, int maxWaitMs,
                               bool visible) {
    // Owned here until the end of the wait: the end of the process may be
    // noticed while pending events run, and a deletion scheduled then would
    // happen at the next events, under the code that still reads it.
    std::unique_ptr<QProcess> process = startProcess(program, arguments, visible);
    if (!process)
        return -1;
    const std::uint64_t start = GetTickCount64();
    while (!process->waitForFinished(20)) {
        if (process->state() == QProcess::NotRunning)
            break;
        DoEvents();
        if (maxWaitMs >= 1 && GetTickCount64() - start > std::uint64_t(maxWaitMs)) {
            TraceLog(-1, -1, -1,
                     QStringLiteral("Err: AttenteFinProcessusExterne: Too long waiting |Max: ") +
                         QString::number(maxWaitMs) + QStringLiteral(" ms"));
            leaveToFinish(std::move(process));
            return -1;
        }
    }
    DoEvents();
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

} // namespace ks3
