#include "settings/InitGeneralSysteme.h"

#include "common/ErrorRoutine.h"
#include "common/PathText.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "platform/IniFile.h"

namespace ks3 {

void InitGeneralSysteme() {
    Procedure p("FrmMain", "InitGeneralSysteme");
    static const char* codes[9] = {"000", "JIN", "LIN", "RUB", "INF", "PRE", "PUB", "TMP", "NUM"};
    ProgramValues& v = programValues();
    const QString sys = workingFolders().dossierConfigGlobal + QStringLiteral("BW_SYS.ini");
    const QString station = QStringLiteral("001");
    QString local;
    p.step(10, [&] {
        const bool unc = LectureIni(sys, QStringLiteral("UNC_Actif"), QStringLiteral("REPLOCAL"),
                                    QStringLiteral("0FF")) == QLatin1String("ON");
        local = withTrailingSlash(
            LectureIni(sys, unc ? QStringLiteral("Repertoires_UNC") : QStringLiteral("Repertoires"),
                       QStringLiteral("REPLOCAL"), DossierDonnees()));
    });
    for (int r = 0; r < 9; ++r) {
        p.step(20, [&] {
            const QString code = QLatin1String(codes[r]);
            for (QString& slot : v.dossiersSons[r])
                slot.clear();
            int counter = -1;
            for (int j = 0; j < 10; ++j) {
                const QString key = code + QStringLiteral("_%1").arg(j, 2, 10, QLatin1Char('0'));
                const bool unc = LectureIni(sys, QStringLiteral("UNC_Actif") + station, key,
                                            QStringLiteral("0FF")) == QLatin1String("ON");
                const QString prefix =
                    unc ? QStringLiteral("Repertoire_Station_UNC_") : QStringLiteral("Repertoire_Station_");
                QString value = LectureIni(sys, prefix + station, key, QString());
                if (value.trimmed().isEmpty() && r == 8 && j == 0)
                    value = QStringLiteral("O,") + local + QStringLiteral("Sons_Recorder/");
                if (value.trimmed().isEmpty() && j == 0)
                    value = QStringLiteral("O,") + local;
                if (value.trimmed().isEmpty() || value.indexOf(QLatin1Char(',')) != 1 ||
                    value.at(0) != QLatin1Char('O'))
                    continue;
                if (++counter > 9)
                    break;
                const QString folder = withTrailingSlash(value.mid(2));
                v.dossiersSons[r][counter] = folder;
                TraceLog(-1, -1, -1, QStringLiteral("Sound Folder: ") + code + QStringLiteral(": ") + folder);
            }
        });
    }
}

} // namespace ks3
