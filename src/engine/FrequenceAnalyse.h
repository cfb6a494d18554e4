#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace ks3 {

// The next automatic run when the analysis frequency is typed at `maintenant`:
// that moment (to the second) plus the typed number of minutes, fractions
// allowed, rounded to the second. None while the text holds no number at all
// (the box was emptied to type another value): the planned run stays.
std::optional<QDateTime> ProchaineConversionSelonFrequence(const QDateTime& maintenant,
                                                           const QString& frequence);

// The frequency box changed: plans the next run from now and shows it on the
// main window's timing label. Returns false when the text held no number and
// nothing was re-planned.
bool FrequenceAnalyseModifiee(const QString& frequence);

} // namespace ks3
