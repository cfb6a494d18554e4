#include "ChildProcess.h"

#include <QProcess>
#include <sys/resource.h>

namespace ks3::bench {

double childrenCpuMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

bool runChild(benchmark::State& state, const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    const double cpu = childrenCpuMs();
    p.start(program, args);
    const bool ok =
        p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    state.counters["child_cpu_ms"] = childrenCpuMs() - cpu;
    return ok;
}

} // namespace ks3::bench
