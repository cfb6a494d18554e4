#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

namespace ks3 {

// What change detection tells the run about one file.
struct CompareResult {
    bool conversionRequise = false;
    QString idEntete; // 10 digits
    QDateTime dateFichierSource;
    qint64 tailleFichierSource = 0;
};

// A conversion that a run started without waiting for it.
class RunningConversion {
public:
    virtual ~RunningConversion() = default;
    // True while its converter runs (false once ended, or after 15 minutes).
    virtual bool running() = 0;
    // Its end: the attempt recorded, the source deleted when asked.
    virtual void finish() = 0;
    // The path its converter writes.
    virtual QString target() const = 0;
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
    // For a run with several conversions at once: starts the conversion and
    // returns without waiting (its lines, as convert's, go to the list). By
    // default the conversion is convert itself, over when this returns.
    virtual std::unique_ptr<RunningConversion> startConvert(const CompareResult& found, const QString& source,
                                                            const QString& target);
};

// The steps in force (EngineServices::runSteps, else HistoryRunSteps).
RunSteps& runSteps();

} // namespace ks3
