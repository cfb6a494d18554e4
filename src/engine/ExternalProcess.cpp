#include "engine/ExternalProcess.h"

#include "common/DoEvents.h"
#include "common/TraceLog.h"
#include "engine/EngineServices.h"

#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace ks3 {

QProcess* DemarrerProcessusExterne(const QString& program, const QStringList& arguments, bool visible) {
    // On the heap: a process still running after the time limit is left to
    // finish by itself and then deleted.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->setProcessChannelMode(QProcess::MergedChannels);
    const QString title = QFileInfo(program).fileName();
    if (visible) {
        QObject::connect(process, &QProcess::readyRead, process, [process, title] {
            const QByteArray out = process->readAll();
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
    if (!process->waitForStarted(30000)) {
        delete process;
        return nullptr;
    }
    return process;
}

int AttenteFinProcessusExterne(const QString& program, const QStringList& arguments, int maxWaitMs,
                               bool visible) {
    QProcess* process = DemarrerProcessusExterne(program, arguments, visible);
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
            return -1;
        }
    }
    DoEvents();
    const int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    return code;
}

} // namespace ks3
