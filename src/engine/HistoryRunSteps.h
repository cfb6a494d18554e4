#pragma once

#include "engine/RunSteps.h"

namespace ks3 {

// The program's own steps: change detection against the conversion history,
// then the converter that start-up found.
class HistoryRunSteps final : public RunSteps {
public:
    CompareResult compare(const QString& source, const QString& target) override;
    void convert(const CompareResult& found, const QString& source, const QString& target) override;
};

} // namespace ks3
