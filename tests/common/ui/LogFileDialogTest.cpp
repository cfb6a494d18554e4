#include "common/ui/LogFileDialog.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "common/ui/AfficherAuDessus.h"
#include "support/ManualClock.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace ks3;

namespace {
// Runs check on the file dialog once it is shown, then lets it answer.
void whenDialogShows(std::function<void(QFileDialog&)> check) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [check, poll] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            check(*d);
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}
} // namespace

TEST(LogFileDialog, ProposesTodaysFileAndReturnsTheChoice) {
    test::ManualClock clock;
    test::TempDir dir;
    resetTraceLog();
    const QString today = dir.write("20240216.Log", "x");
    dir.write("20240215.Log", "x");

    QString folderSeen, fileSeen;
    QStringList filtersSeen;
    whenDialogShows([&](QFileDialog& d) {
        folderSeen = d.directory().absolutePath() + QLatin1Char('/');
        fileSeen = d.selectedFiles().value(0);
        filtersSeen = d.nameFilters();
        d.reject();
    });
    EXPECT_TRUE(DialogueFichierLog(dir.path(), today, QStringLiteral("Logs|*.log")).isEmpty());
    EXPECT_EQ(folderSeen, dir.path());
    EXPECT_EQ(fileSeen, today);
    EXPECT_EQ(filtersSeen, QStringList{QStringLiteral("Logs (*.log *.Log *.LOG)")});

    whenDialogShows([&](QFileDialog& d) {
        d.selectFile(dir.file("20240215.Log"));
        QMetaObject::invokeMethod(&d, "accept");
    });
    EXPECT_EQ(DialogueFichierLog(dir.path(), today, QStringLiteral("Logs|*.log")), dir.file("20240215.Log"));
}

TEST(LogFileDialog, VoirLogShowsItOnTheLogFolder) {
    test::ManualClock clock;
    test::TempDir dir;
    resetTraceLog();
    workingFolders().logTechFolder = dir.path();
    traceLists().frmSetupCharge = true;
    TraceLog(-1, -1, -1, QStringLiteral("waiting line"));
    test::ServicesGuard services([](Services& s) { s.logFileChoice = DialogueFichierLogService(); });

    // An always-on-top window steps back while the dialog waits.
    QWidget onTop;
    onTop.show();
    AfficherAuDessus(&onTop, 1);

    QString fileSeen;
    bool written = false;
    bool steppedBack = false;
    whenDialogShows([&](QFileDialog& d) {
        fileSeen = d.selectedFiles().value(0);
        written = QFile::exists(dir.file("20240216.Log"));
        steppedBack = !onTop.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        d.reject();
    });
    VoirLog(dir.path());
    EXPECT_TRUE(written);
    EXPECT_EQ(fileSeen, dir.file("20240216.Log"));
    EXPECT_TRUE(steppedBack);
    EXPECT_TRUE(onTop.windowFlags().testFlag(Qt::WindowStaysOnTopHint)); // back above, though cancelled
    EXPECT_EQ(onTop.property("Tag").toString(), QStringLiteral("1"));
    resetTraceLog();
    workingFolders().logTechFolder.clear();
}
