#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace ks3 {

// The settings a run reads, taken from the live settings when asked.
struct RunSettings {
    std::array<QString, 10> sources;
    std::array<QString, 10> cibles;
    bool sourceRecursive = false;
    bool cibleRecursive = false;
    QStringList selectedSourceTypes; // texts of the selected source types, in list order
    QString targetType;              // text of the selected target type; empty when none
    QString frequence;               // run frequency in minutes, as typed
};

RunSettings currentRunSettings();

} // namespace ks3
