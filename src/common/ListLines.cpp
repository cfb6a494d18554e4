#include "common/ListLines.h"

namespace ks3 {

void appendLine(QStringListModel& list, const QString& line) {
    const int row = list.rowCount();
    list.insertRows(row, 1);
    list.setData(list.index(row), line);
}

void clearList(QStringListModel& list) {
    if (list.rowCount() > 0)
        list.removeRows(0, list.rowCount());
}

} // namespace ks3
