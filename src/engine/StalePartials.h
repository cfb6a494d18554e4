#pragma once

#include <QString>

namespace ks3 {

// Removes from folder the temporary outputs of converters that no longer
// run: hidden files ".CoreConverter.PID.part", and ".NAME.PID.part" as older
// converters named them, whose process PID does not exist any more (a
// converter killed before it could remove its own). A partial whose process
// is alive is left alone: another instance may be writing it. Each removal is
// traced. Returns the number of files removed.
int RemoveStalePartials(const QString& folder);

} // namespace ks3
