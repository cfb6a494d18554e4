#pragma once

#include <QObject>

class QSocketNotifier;

namespace ks3 {

// The operating system's requests to end the program (SIGTERM, SIGINT, SIGHUP)
// delivered on the event loop: the signal handler only writes one byte into a
// socket pair, and a notifier on the other end emits terminationRequested.
// One instance at a time; destroying it restores the default handlers.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool installed() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace ks3
