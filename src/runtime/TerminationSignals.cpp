#include "runtime/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ks3 {

namespace {
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

void onSignal(int signalNumber) {
    // Only async-signal-safe calls here; errno is kept for the code interrupted.
    const int saved = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[0], &byte, 1);
    errno = saved;
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (pipeFds[0] >= 0)
        return; // another instance holds the handlers
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(pipeFds[1], F_SETFL, ::fcntl(pipeFds[1], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(pipeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        ::sigaction(s, &sa, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    for (const int s : kSignals)
        ::signal(s, SIG_DFL);
    delete notifier_;
    notifier_ = nullptr;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void TerminationSignals::onReadable() {
    char bytes[16];
    const ssize_t n = ::read(pipeFds[1], bytes, sizeof bytes);
    // Several signals in a row ask for the same thing: one request is enough.
    if (n > 0)
        emit terminationRequested(int(bytes[0]));
}

} // namespace ks3
