#pragma once

#include <QDateTime>
#include <QString>

namespace ks3 {

// Date and time of this build.
QDateTime DateApplication();
// "yyyy.MMdd.HHmm" of the build: a build on 12 June 2015 at 14:30 gives 2015.0612.1430.
QString VersionApplication();
// The same text for any version numbers (major above 1999 holds the year).
QString VersionTexte(int major, int minor, int revision);

} // namespace ks3
