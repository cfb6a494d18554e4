#pragma once

#include <QtGlobal>

#include <csignal>
#include <sys/types.h>

namespace ks3::test {

// Sends signal to the process pid; false when it was not sent. A pid of 0 or
// less is what QProcess::processId() gives once the process has ended: to
// kill(2) it names the caller's own process group (the test, ctest and all
// around it) or every process, so nothing is sent.
inline bool signalProcess(qint64 pid, int signal) {
    return pid > 0 && ::kill(pid_t(pid), signal) == 0;
}

} // namespace ks3::test
