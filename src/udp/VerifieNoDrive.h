#pragma once

#include <QString>

namespace ks3 {

// The sound-folder slot of a song: the slot text when it is "-" or names a
// filled slot of the category in the station's folder table; otherwise the
// song's number (from its fourth character) modulo the category's filled
// slots, or "0" when it has none. A blank slot text reads as "0".
QString VerifieNoDrive(int categorie, const QString& slot, const QString& song, const QString& caller);

} // namespace ks3
