#pragma once

#include <QString>
#include <QStringListModel>

namespace ks3 {

// The line lists the windows show: one line added at the end, or all removed.
void appendLine(QStringListModel& list, const QString& line);
void clearList(QStringListModel& list);

} // namespace ks3
