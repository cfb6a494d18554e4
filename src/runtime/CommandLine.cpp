#include "runtime/CommandLine.h"

#include "common/ErrorRoutine.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "history/RechercheHistorique.h"

namespace ks3 {

CommandLineOptions parseCommandLine(const QStringList& arguments) {
    CommandLineOptions o;
    QStringList rest;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            o.help = true;
        else if (a == QLatin1String("--version"))
            o.version = true;
        else if (a == QLatin1String("--once"))
            o.once = true;
        else if (a == QLatin1String("--service"))
            o.service = true;
        else if (a == QLatin1String("--screenshot") && i + 1 < arguments.size())
            o.screenshot = arguments.at(++i);
        else if (a == QLatin1String("--history")) {
            // The type when the next argument names one, then the text unless
            // it is another option (a file name never holds a "/").
            o.history = true;
            if (i + 1 < arguments.size() && TypeRechercheNomme(arguments.at(i + 1)))
                o.historyType = arguments.at(++i);
            if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('/')) &&
                !arguments.at(i + 1).startsWith(QLatin1String("--")))
                o.historyText = arguments.at(++i);
        } else if (a == QLatin1String("--history-detail") && i + 1 < arguments.size()) {
            o.historyDetail = true;
            o.historyId = arguments.at(++i);
        } else
            rest << a;
    }
    o.rest = rest.join(QLatin1Char(' '));
    return o;
}

QString usageText() {
    return QStringLiteral(
        "Usage: KS3_Tools_Convert [/Instance=N | /I=N] [--once | --service] [--screenshot FILE]\n"
        "                         [--history [Date|Fichier|Erreurs] [TEXT]]\n"
        "                         [--history-detail ID] [--help] [--version]\n"
        "\n"
        "Converts the sound files of the configured source folders at an interval,\n"
        "and turns sound files into the suite's format on request over UDP.\n"
        "\n"
        "Modes:\n"
        "  (none)             the window program, for a workstation with a desktop: the\n"
        "                     options, the history and the runs in windows\n"
        "  --once             one conversion run at once, no window; exit status 0\n"
        "                     when the run completed, 1 when start-up failed or a\n"
        "                     signal stopped the run (for a script or a cron job)\n"
        "  --service          the unattended service, no window and no display needed\n"
        "                     (systemd, a machine without a desktop): runs at the\n"
        "                     interval of the settings, the first 500 s after start,\n"
        "                     answers UDP requests; every question gets the answer of\n"
        "                     --once, traced; SIGTERM, SIGINT or SIGHUP end it after\n"
        "                     the file being converted, with exit status 0\n"
        "\n"
        "  /Instance=N, /I=N  instance number 1 to 10 (own settings and logs)\n"
        "  --screenshot FILE  start, save a PNG picture of the main window, end\n"
        "  --history [TYPE] [TEXT]\n"
        "                     print the conversion headers the window \"Historique\"\n"
        "                     lists (TYPE Fichier by default: names beginning with\n"
        "                     TEXT; Date: created on day TEXT, jj/mm/aaaa; Erreurs:\n"
        "                     failed, names beginning with TEXT), tab-separated\n"
        "                     with a header line, then end; exit status 2 when the\n"
        "                     date cannot be read\n"
        "  --history-detail ID\n"
        "                     print the conversion attempts of header ID, then end\n"
        "  --help             this text\n"
        "  --version          the program's version\n"
        "\n"
        "Data (settings, history, logs) live beside the program when its folder is\n"
        "writable, else in $STATE_DIRECTORY (a systemd service), else in\n"
        "$XDG_DATA_HOME/Kestrel/ (~/.local/share/Kestrel/). See KS3_Tools_Convert(1).\n");
}

void AnalyseChaineCommand(const QString& commandLine) {
    Procedure p("FrmMain", "AnalyseChaineCommand");
    QString status = QStringLiteral("A");
    int& instance = programValues().noInstance;
    p.step(10, [&] {
        TraceLog(-1, -1, -1, QStringLiteral("Command Line: '") + commandLine + QLatin1Char('\''));
    });
    p.step(20, [&] {
        instance = 0;
        QString key = QStringLiteral("/Instance=");
        qsizetype at = commandLine.indexOf(key, 0, Qt::CaseInsensitive);
        if (at < 0) {
            key = QStringLiteral("/I=");
            at = commandLine.indexOf(key, 0, Qt::CaseInsensitive);
        }
        if (at < 0)
            return;
        const QString after = commandLine.mid(at + key.size()).trimmed();
        QString digits;
        for (const QChar c : after) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                break;
            digits += c;
        }
        // Long digit runs stay large rather than wrapping around.
        const long long value =
            digits.isEmpty() ? 0 : (digits.size() > 9 ? 1000000000LL : digits.toLongLong());
        status = QStringLiteral("E");
        if (value < 1) {
            instance = 1;
            status = QStringLiteral("D");
        } else if (value > 10) {
            instance = 10;
            status = QStringLiteral("C");
        } else {
            instance = int(value);
        }
    });
    p.step(30, [&] {
        TraceLog(-1, -1, -1,
                 QStringLiteral("Instance: ") + QString::number(instance) + QStringLiteral(" (") + status +
                     QLatin1Char(')'));
    });
}

} // namespace ks3
