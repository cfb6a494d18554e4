#include "app/CommandLine.h"
#include "app/FrmMsgBoxService.h"
#include "app/FrmSetup.h"
#include "app/Frm_Main.h"
#include "app/Startup.h"
#include "common/VersionApplication.h"
#include "engine/ConversionRun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace {
// One run at once, without a window: every question gets the answer that
// destroys nothing (the unattended message service), and every message with
// its answer goes to the trace log.
int runOnce(int argc, char** argv, const ks3::CommandLineOptions& options) {
    QCoreApplication app(argc, argv);
    if (!ks3::DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        ks3::ArretProgramme();
        std::fputs("KS3_Tools_Convert: start-up failed, see the trace log\n", stderr);
        return 1;
    }
    ks3::LancerAnalyseConvertStart();
    ks3::ArretProgramme();
    return 0;
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

    QApplication app(argc, argv);
    ks3::InstallerFrmSetup();
    ks3::Frm_Main w;
    // Messages are shown to people from here on, owned by the main window.
    ks3::FrmMsgBoxService messageBoxes(&w);
    ks3::setMessageBoxService(&messageBoxes);
    if (!ks3::DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        w.FermetureSysteme();
        ks3::setMessageBoxService(nullptr);
        return 1;
    }
    w.show();
    if (!options.screenshot.isEmpty()) {
        // A picture of the window as a newcomer first sees it, then the end.
        QTimer::singleShot(500, &w, [&w, &options] {
            w.grab().save(options.screenshot);
            w.FermetureSysteme();
        });
    }
    const int status = app.exec();
    ks3::setMessageBoxService(nullptr);
    return status;
}
