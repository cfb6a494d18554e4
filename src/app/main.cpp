#include "app/FrmSysTray.h"
#include "app/Frm_Main.h"
#include "app/ProgramIcon.h"
#include "app/QtTrayIcon.h"
#include "common/TraceLog.h"
#include "common/VersionApplication.h"
#include "common/ui/FrmMsgBoxService.h"
#include "common/ui/LogFileDialog.h"
#include "engine/ConversionRun.h"
#include "engine/RunState.h"
#include "history/ui/FrmHisto.h"
#include "runtime/CommandLine.h"
#include "runtime/HistoryConsole.h"
#include "runtime/ServiceMode.h"
#include "runtime/Services.h"
#include "runtime/Startup.h"
#include "runtime/TerminationSignals.h"
#include "settings/ui/FrmSetup.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <memory>

namespace {
// One run at once, without a window: every question gets the answer that
// destroys nothing (the unattended message service), and every message with
// its answer goes to the trace log. A request of the system to end (SIGTERM,
// SIGINT, SIGHUP) stops the run after the file being converted, as in the
// window program; the program then ends in order with status 1 (run not
// completed).
int runOnce(int argc, char** argv, const ks3::CommandLineOptions& options) {
    QCoreApplication app(argc, argv);
    // The services of every layer are their own: questions get the unattended
    // answers, nothing is shown.
    ks3::installServices(ks3::Services());
    bool stopAsked = false;
    ks3::TerminationSignals termination;
    QObject::connect(&termination, &ks3::TerminationSignals::terminationRequested, [&](int signalNumber) {
        ks3::TraceLog(-1, -1, -1,
                      QStringLiteral("Close asked by the system (signal ") + QString::number(signalNumber) +
                          QLatin1Char(')'));
        stopAsked = true;
        ks3::runState().stopConversion = true;
    });
    if (!ks3::DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        ks3::ArretProgramme();
        std::fputs("KS3_Tools_Convert: start-up failed, see the trace log\n", stderr);
        return 1;
    }
    // A request that came during the start-up is not forgotten by the run.
    QCoreApplication::processEvents();
    if (!stopAsked)
        ks3::LancerAnalyseConvertStart();
    ks3::TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Unload: Start"));
    ks3::ArretProgramme();
    return stopAsked ? 1 : 0;
}

// A picture of the main window as it stands after start-up, then the end of
// the program in order (as a close asked by the program).
int saveScreenshot(ks3::Frm_Main& w, const QString& file) {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const bool saved = w.grab().save(file, "PNG");
    if (!saved)
        std::fprintf(stderr, "KS3_Tools_Convert: cannot write %s\n", file.toLocal8Bit().constData());
    w.finProgramme = {};
    w.close();
    return saved ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const ks3::CommandLineOptions options = ks3::parseCommandLine(args);
    if (options.help) {
        std::fputs(ks3::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("KS3_Tools_Convert %s\n", ks3::VersionApplication().toLatin1().constData());
        return 0;
    }
    if (options.once)
        return runOnce(argc, argv, options);
    // The unattended service: the core alone, no window and no display.
    if (options.service)
        return ks3::ExecuterService(argc, argv, options);
    if (options.history || options.historyDetail) {
        // No window: the questions of the record layer get the unattended answers.
        QCoreApplication app(argc, argv);
        ks3::installServices(ks3::Services());
        return ks3::HistoriqueConsole(QCoreApplication::applicationFilePath(), options, stdout, stderr);
    }

    QApplication app(argc, argv);
    // The program ends when its main window is unloaded; standby hides every
    // window and must not end it.
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(ks3::IconeProgramme());
    // The window program's services: messages shown to people, owned by the
    // main window once it exists; the log-file dialog of "Log techniques";
    // the options window, loaded hidden by the start-up and kept for the
    // whole run.
    ks3::FrmMsgBoxService messageBoxes;
    // The tray window exists before every other window: it keeps the order in
    // which they are opened, for standby.
    ks3::FrmSysTray tray(std::make_unique<ks3::QtTrayIcon>());
    ks3::Services services;
    services.questions = &messageBoxes;
    services.standby = &tray;
    services.logFileChoice = ks3::DialogueFichierLogService();
    ks3::InstallerFrmSetup(services);
    ks3::InstallerFrmHisto(services);
    services.mainWindowFocus = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<ks3::Frm_Main*>(w) && w->isVisible())
                w->activateWindow();
    };
    ks3::installServices(services);
    int status = 1;
    if (ks3::DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        ks3::Frm_Main w;
        messageBoxes.setOwner(&w);
        w.show();
        status = options.screenshot.isEmpty() ? app.exec() : saveScreenshot(w, options.screenshot);
    } else {
        ks3::ArretProgramme();
    }
    // The history window, if it was opened, goes with the main window.
    ks3::DechargerFrmHisto();
    ks3::installServices(ks3::Services());
    return status;
}
