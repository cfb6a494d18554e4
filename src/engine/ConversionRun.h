#pragma once

#include <QString>
#include <vector>

namespace ks3 {

struct SourceType;
struct TargetType;

// Starts a run unless one is in progress, then plans the next one.
void LancerAnalyseConvertStart();
// The run over every source folder entry.
void LancerAnalyseConvert();

// The patterns of the selected source types joined by ";", without spaces.
QString ListeExtensionsSource(const std::vector<const SourceType*>& selectedSourceTypes);
// The extension of the target type, dot included (".mp3"); empty without a type.
QString ListeExtensionCible(const TargetType* targetType);
// Minutes right-aligned on three characters, ":" and seconds on two digits.
QString FormateDuree(qint64 seconds);

} // namespace ks3
