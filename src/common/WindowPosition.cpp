#include "common/WindowPosition.h"

#include "common/ErrorRoutine.h"
#include "common/LeadingNumber.h"
#include "common/NomFichierSettings.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ks3 {

namespace {
const QString kSection = QStringLiteral("FrmPos");

QString keySuffix(const QString& qualificatif) {
    return qualificatif.trimmed().isEmpty() ? QString() : QLatin1Char('_') + qualificatif;
}

int readTwips(const QString& file, const QString& key) {
    const double v = leadingNumber(LectureIni(file, kSection, key, QStringLiteral("0")));
    // A hand-edited file may hold anything: keep the value within an int.
    if (!std::isfinite(v))
        return 0;
    const double clamped = std::clamp(v, double(std::numeric_limits<int>::min() / 2),
                                      double(std::numeric_limits<int>::max() / 2));
    return int(std::lround(clamped));
}
} // namespace

PositionFenetre CorrigePositionFenetre(PositionFenetre p, int hauteurFenetre, int hauteurEcran) {
    if (p.top > hauteurEcran)
        p.top = hauteurEcran / 2;
    else if (qint64(p.top) + hauteurFenetre < 100)
        p.top = 0;
    if (p.left < -20000)
        p.left = 0;
    return p;
}

QString FichierPositions() {
    return NomFichierSettings(QStringLiteral("_Positions"), QStringLiteral(".Ini"));
}

PositionFenetre LecturePositionFenetre(const QString& nom, const QString& qualificatif, int hauteurFenetre,
                                       int hauteurEcran) {
    Procedure p("Lib_Public", "PositionFeuille");
    PositionFenetre pos;
    QString file;
    const QString suffix = keySuffix(qualificatif);
    p.step(10, [&] { file = FichierPositions(); });
    p.step(20, [&] { pos.left = readTwips(file, nom + QStringLiteral("_Left") + suffix); });
    p.step(30, [&] { pos.top = readTwips(file, nom + QStringLiteral("_Top") + suffix); });
    p.step(40, [&] { pos = CorrigePositionFenetre(pos, hauteurFenetre, hauteurEcran); });
    return pos;
}

void EcriturePositionFenetre(const QString& nom, const QString& qualificatif, PositionFenetre position) {
    Procedure p("Lib_Public", "PositionFeuilleSauvegarde");
    QString file;
    const QString suffix = keySuffix(qualificatif);
    p.step(10, [&] { file = FichierPositions(); });
    p.step(20, [&] {
        EcritureIni(file, kSection, nom + QStringLiteral("_Left") + suffix, QString::number(position.left));
    });
    p.step(30, [&] {
        EcritureIni(file, kSection, nom + QStringLiteral("_Top") + suffix, QString::number(position.top));
    });
}

} // namespace ks3
