#pragma once

#include <QString>
#include <QStringList>

namespace ks3 {

// What the program was asked to do from its command line.
struct CommandLineOptions {
    bool help = false;
    bool version = false;
    bool once = false;
    QString screenshot; // --screenshot FILE: save a picture of the main window and end
    QString rest;       // the text given to AnalyseChaineCommand (everything but --help/--version/--once)
};

CommandLineOptions parseCommandLine(const QStringList& arguments);
QString usageText();

// Reads the instance number from the command line text ("/Instance=" or "/I=")
// into NoInstance, with its trace lines.
void AnalyseChaineCommand(const QString& commandLine);

} // namespace ks3
