#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace ks3 {

// What change detection tells the run about one file.
struct CompareResult {
    bool conversionRequise = false;
    QString idEntete; // 10 digits
    QDateTime dateFichierSource;
    qint64 tailleFichierSource = 0;
};

// The two operations a run hands each file to: change detection and the
// converter. The program uses the history and the configured converter.
class RunSteps {
public:
    virtual ~RunSteps() = default;
    // The files of a chosen type of the folder the run takes next, before it
    // compares the first of them; an empty list at the end of the run.
    virtual void beginFolder(const QStringList& sources) {}
    virtual CompareResult compare(const QString& source, const QString& target) = 0;
    virtual void convert(const CompareResult& found, const QString& source, const QString& target) = 0;
};

// The steps in force (EngineServices::runSteps, else HistoryRunSteps).
RunSteps& runSteps();

} // namespace ks3
