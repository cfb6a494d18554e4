#include "app/CommandLine.h"
#include "app/FrmMsgBoxService.h"
#include "common/VersionApplication.h"

#include <QApplication>
#include <QMainWindow>
#include <cstdio>

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
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Kestrel: Tools Convert - ") + ks3::VersionApplication());
    // Messages are shown to people from here on, owned by the main window.
    ks3::FrmMsgBoxService messageBoxes(&w);
    ks3::setMessageBoxService(&messageBoxes);
    w.show();
    const int status = app.exec();
    ks3::setMessageBoxService(nullptr);
    return status;
}
