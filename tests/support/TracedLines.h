#pragma once

#include "common/TraceLog.h"

#include <QStringList>

namespace ks3::test {

// Every trace line waiting in the lists: those traced before the options
// window was loaded, then the others.
inline QStringList tracedLines() {
    return traceLists().listeLogTemp.stringList() + traceLists().listeLog.stringList();
}

// True when a waiting trace line ends with text.
inline bool tracedEnding(const QString& text) {
    for (const QString& l : tracedLines())
        if (l.endsWith(text))
            return true;
    return false;
}

} // namespace ks3::test
