#include "app/CommandLine.h"
#include "app/Startup.h"
#include "common/VersionApplication.h"
#include "engine/ConversionRun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <cstdio>

namespace {
// One run at once, no window: every question gets the answer that destroys
// nothing (the unattended message-box service), and its trace lines go to the log.
int runOnce(int argc, char** argv, const ks3::CommandLineOptions& options) {
    QCoreApplication app(argc, argv);
    if (!ks3::DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        ks3::ArretProgramme();
        std::fputs("KS3_Tools_Convert: start-up failed (see the trace log)\n", stderr);
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
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Kestrel: Tools Convert - ") + ks3::VersionApplication());
    w.show();
    return app.exec();
}
