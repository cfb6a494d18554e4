#include "engine/FrequenceAnalyse.h"

#include "common/Clock.h"
#include "common/LeadingNumber.h"
#include "engine/RunState.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ks3 {

std::optional<QDateTime> ProchaineConversionSelonFrequence(const QDateTime& maintenant,
                                                           const QString& frequence) {
    // The leading-number parse reads "abc" and "" as 0; here they mean "not a
    // frequency yet", so the start of a number is looked for first.
    static const QRegularExpression debutNombre(QStringLiteral("^[ \\t]*[+-]?(\\d|\\.\\d)"));
    if (!debutNombre.match(frequence).hasMatch())
        return std::nullopt;
    const double secondes = std::round(leadingNumber(frequence) * 60.0);
    // Far beyond any run: keep the arithmetic of the date within its range.
    constexpr double kMaxSecondes = 100.0 * 366 * 24 * 3600;
    const qint64 s = static_cast<qint64>(std::clamp(secondes, -kMaxSecondes, kMaxSecondes));
    QDateTime base = maintenant;
    base.setTime(QTime(maintenant.time().hour(), maintenant.time().minute(), maintenant.time().second()));
    return base.addSecs(s);
}

bool FrequenceAnalyseModifiee(const QString& frequence) {
    const auto quand = ProchaineConversionSelonFrequence(clock().now(), frequence);
    if (!quand)
        return false;
    runState().setProchaineConversion(*quand);
    return true;
}

} // namespace ks3
