#include "runtime/ServiceMode.h"

#include "common/Clock.h"
#include "common/TraceLog.h"
#include "engine/RunState.h"
#include "runtime/CommandLine.h"
#include "runtime/MainTimer.h"
#include "runtime/Services.h"
#include "runtime/Startup.h"
#include "runtime/TerminationSignals.h"
#include "settings/OptionsLoader.h"
#include "udp/UdpRows.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace ks3 {

namespace {
constexpr int kEcritureJournalMs = 2000;
} // namespace

int DelaiPremierePasseDeTest(const QByteArray& valeur) {
    bool ok = false;
    const int secondes = valeur.trimmed().toInt(&ok);
    return ok && secondes >= 0 && secondes <= 500 ? secondes : -1;
}

int ExecuterService(int argc, char** argv, const CommandLineOptions& options) {
    QCoreApplication app(argc, argv);
    // The layers' own services (unattended answers, traced), and the options
    // loaded as the options window loads them: every receive row saved active
    // is bound as its "Activer" box is read.
    Services services;
    services.optionsWindowLoader = [] {
        LierCasesActivationUDP();
        ChargerOptions();
    };
    installServices(services);

    bool arretDemande = false;
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&](int signalNumber) {
        TraceLog(-1, -1, -1,
                 QStringLiteral("Close asked by the system (signal ") + QString::number(signalNumber) +
                     QLatin1Char(')'));
        arretDemande = true;
        // No new run; a run in progress ends after its file, and the loop
        // ends once it has returned.
        runState().timerActif = false;
        runState().stopConversion = true;
        QCoreApplication::quit();
    });

    if (!DemarrageProgramme(QCoreApplication::applicationFilePath(), options.rest)) {
        ArretProgramme();
        std::fputs("KS3_Tools_Convert: start-up failed, see the trace log\n", stderr);
        return 1;
    }
    const int delai = DelaiPremierePasseDeTest(qgetenv(kVariableDelaiPremierePasse));
    if (delai >= 0) {
        runState().setProchaineConversion(clock().now().addSecs(delai));
        TraceLog(-1, -1, -1,
                 QStringLiteral("Service: first run in ") + QString::number(delai) + QStringLiteral(" s (") +
                     QLatin1String(kVariableDelaiPremierePasse) + QStringLiteral(", tests only)"));
    }
    TraceLog(-1, -1, -1,
             QStringLiteral("Service: started without window, next run at ") +
                 runState().prochaineConversion().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));

    MainTimer timer;
    timer.start();
    // Nobody sees the lines on a screen: the waiting ones are written within
    // seconds instead of by 200, so the day's file can be followed and a
    // service killed outright loses only its last moments.
    QTimer ecritureJournal;
    QObject::connect(&ecritureJournal, &QTimer::timeout, [] {
        if (traceLists().listeLog.rowCount() > 0)
            TraceLogForce(traceLists().listeLog);
    });
    ecritureJournal.start(kEcritureJournalMs);
    // A request that came during the start-up ends the service before the loop.
    QCoreApplication::processEvents();
    if (!arretDemande)
        QCoreApplication::exec();
    timer.stop();

    // Form_Unload without a window: nothing to place or to ask.
    runState().stopConversion = true;
    TraceLog(-1, -1, -1, QStringLiteral("---------- Form_Unload: Start"));
    ArretProgramme();
    return 0;
}

} // namespace ks3
