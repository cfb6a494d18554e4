#pragma once

#include <QString>

namespace ks3 {

// Deletes a file when it exists, clearing its read-only flag first.
void DeleteFile(const QString& path, const QString& caller);

} // namespace ks3
