#pragma once

#include "engine/EntetesDossier.h"
#include "engine/RunSteps.h"

#include <QSet>
#include <QString>

namespace ks3 {

// The program's own steps: change detection against the conversion history,
// then the converter that start-up found. The headers of a folder's files are
// read from the history once per folder.
class HistoryRunSteps final : public RunSteps {
public:
    void beginFolder(const QStringList& sources) override;
    CompareResult compare(const QString& source, const QString& target) override;
    void convert(const CompareResult& found, const QString& source, const QString& target) override;
    // The command-line converter without waiting; the older one through convert.
    std::unique_ptr<RunningConversion> startConvert(const CompareResult& found, const QString& source,
                                                    const QString& target) override;

private:
    EntetesDossier entetes_;
    // The targets with a note of a conversion under way, in the folder of the
    // last target compared (read once per source folder).
    QString dossierNotes_;
    QSet<QString> ciblesNotees_;
};

} // namespace ks3
