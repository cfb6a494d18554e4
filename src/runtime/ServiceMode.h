#pragma once

#include <QByteArray>
#include <QString>

namespace ks3 {

struct CommandLineOptions;

// The test-only variable that brings the first automatic run of the service
// forward: a number of seconds after start-up instead of 500. Never set on a
// station.
inline constexpr const char* kVariableDelaiPremierePasse = "KS3_TEST_FIRST_RUN_DELAY";

// The seconds of kVariableDelaiPremierePasse when it holds a whole number from
// 0 to 500, else nothing (-1): a station keeps its 500 s whatever the variable holds.
int DelaiPremierePasseDeTest(const QByteArray& valeur);

// KS3_Tools_Convert --service: the program without a window and without a
// display (the core event loop alone). The start-up of the window program
// (receive rows bound as the settings load), the conversion timer, every
// question answered and traced as in --once. SIGTERM, SIGINT and SIGHUP end
// it in order after the file being converted (unload trace lines, record files
// closed) with status 0; a failed start-up gives 1. Builds its own
// QCoreApplication.
int ExecuterService(int argc, char** argv, const CommandLineOptions& options);

} // namespace ks3
