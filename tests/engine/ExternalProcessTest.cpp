#include "engine/ExternalProcess.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace ks3;

namespace {
// Runs f inside the handling of an event of a running event loop, as the
// program's runs and requests are.
template <typename F> void insideAnEvent(F f) {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        f();
        loop.quit();
    });
    loop.exec();
}
} // namespace

// The end of the converter is often noticed while pending events run, in the
// middle of other events' handling; the wait must still read the exit code
// from a process that is still there.
TEST(ExternalProcess, TheExitCodeIsReadWhateverMomentTheEndIsNoticedAt) {
    // Slow events that let events run themselves, as a request handled during
    // a run does: the child's end is then noticed one level deeper than the
    // wait, where a deletion scheduled would happen at the wait's next events.
    QTimer slow;
    slow.setInterval(0);
    QObject::connect(&slow, &QTimer::timeout, [] {
        ::usleep(15000);
        QCoreApplication::processEvents();
    });
    slow.start();
    for (int round = 0; round < 15; ++round) {
        int code = -2;
        insideAnEvent([&] {
            code = AttenteFinProcessusExterne(QStringLiteral("/bin/sh"),
                                              {QStringLiteral("-c"), QStringLiteral("sleep 0.03; exit 7")}, 0,
                                              false);
        });
        ASSERT_EQ(code, 7) << "round " << round;
        QCoreApplication::processEvents();
    }
}

TEST(ExternalProcess, AProcessPastTheLimitIsLeftToFinishByItself) {
    QTemporaryDir dir;
    const QString done = dir.filePath(QStringLiteral("done"));
    int code = -2;
    insideAnEvent([&] {
        code = AttenteFinProcessusExterne(QStringLiteral("/bin/sh"),
                                          {QStringLiteral("-c"), QStringLiteral("sleep 1; : > \"$0\""), done},
                                          50, false);
    });
    EXPECT_EQ(code, -1);
    EXPECT_FALSE(QFile::exists(done));
    // Not killed: it finishes and writes its file.
    for (int i = 0; i < 500 && !QFile::exists(done); ++i) {
        QCoreApplication::processEvents();
        ::usleep(10000);
    }
    EXPECT_TRUE(QFile::exists(done));
}

TEST(ExternalProcess, AProgramThatCannotStartGivesMinusOne) {
    EXPECT_EQ(AttenteFinProcessusExterne(QStringLiteral("/nonexistent/converter"), {}, 0, false), -1);
}
