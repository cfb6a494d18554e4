#pragma once

#include <QString>

namespace ks3 {

// The key as the call history shows it: every character whose code in
// Windows-1252 is below 32 or above 250 (or that the code page cannot hold)
// becomes a space, except the French letters é, è, à, ç, û, ô, â, ë and ù.
QString PrintableKey(const QString& key);

} // namespace ks3
