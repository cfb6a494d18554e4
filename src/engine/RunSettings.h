#pragma once

#include <QString>
#include <array>
#include <vector>

namespace ks3 {

struct SourceType;
struct TargetType;

// The settings a run reads, taken from the live settings when asked.
struct RunSettings {
    std::array<QString, 10> sources;
    std::array<QString, 10> cibles;
    bool sourceRecursive = false;
    bool cibleRecursive = false;
    std::vector<const SourceType*> selectedSourceTypes; // in list order
    const TargetType* targetType = nullptr;             // nullptr when none is selected
    QString frequence;                                  // run frequency in minutes, as typed
    int conversionsSimultanees =
        1; // conversions going at once, at least 1 (the setting 0: one per processor)
};

RunSettings currentRunSettings();

} // namespace ks3
