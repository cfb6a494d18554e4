#pragma once

#include <QString>

namespace ks3 {

// The text with its control characters written out ("\n", "\r", "\t", "\xHH"
// for the others, C0, DEL and C1), so that one text stays one line of a log
// whatever a file name or a datagram holds.
QString EchappeControles(const QString& text);

} // namespace ks3
