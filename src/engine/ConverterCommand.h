#pragma once

#include "engine/ConverterOptions.h"

#include <QString>
#include <QStringList>

namespace ks3 {

// One converter invocation: the command-line text shown in the trace log, and
// the same arguments as a list, which is what the converter is started with
// (never through a shell, never by splitting the text again).
struct ConverterCommand {
    QString text;
    QString program;
    QStringList arguments;
};

// Builds the invocation. udpRequest fixes the format (mp2 48000 Hz 256 kbit/s
// stereo) and drops the effects.
ConverterCommand buildConverterCommand(const QString& converterPath, const QString& source,
                                       const QString& target, const QString& errorFile,
                                       const ConverterOptions& options, bool udpRequest);

// The pieces of the command line, each as (text, argument) pairs; exposed for
// the tests of their exact form.
QStringList effectArguments(const ConverterOptions& options);
QStringList formatArguments(const ConverterOptions& options, bool udpRequest, bool* hasConvertTo = nullptr);

} // namespace ks3
