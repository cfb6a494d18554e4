#pragma once

#include <QString>
#include <QStringList>

namespace ks3 {

// What the program was asked to do from its command line.
struct CommandLineOptions {
    bool help = false;
    bool version = false;
    bool once = false;
    bool service = false; // --service: the unattended service, no window and no display
    QString screenshot;   // --screenshot FILE: save a picture of the main window and end
    // --history [Date|Fichier|Erreurs] [TEXT]: print the headers the history
    // window would list; --history-detail ID: the attempts of one header.
    bool history = false;
    QString historyType = QStringLiteral("Fichier");
    QString historyText;
    bool historyDetail = false;
    QString historyId;
    QString rest; // the text given to AnalyseChaineCommand (everything but the options above)
};

CommandLineOptions parseCommandLine(const QStringList& arguments);
QString usageText();

// Reads the instance number from the command line text ("/Instance=" or "/I=")
// into NoInstance, with its trace lines.
void AnalyseChaineCommand(const QString& commandLine);

} // namespace ks3
