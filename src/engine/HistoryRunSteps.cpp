#include "engine/HistoryRunSteps.h"

#include "common/ProgramValues.h"
#include "engine/CompareFichierEtDonnees.h"
#include "engine/ConversionEnCours.h"
#include "engine/EngineServices.h"
#include "engine/LancerConvertV09.h"
#include "engine/LancerConvertV13.h"

namespace ks3 {

namespace {
// A conversion over before it is handed back.
class DoneConversion final : public RunningConversion {
public:
    explicit DoneConversion(const QString& target) : target_(target) {}
    bool running() override { return false; }
    void finish() override {}
    QString target() const override { return target_; }

private:
    QString target_;
};

class RunningV13 final : public RunningConversion {
public:
    explicit RunningV13(std::unique_ptr<ConversionV13> c) : c_(std::move(c)) {}
    bool running() override { return c_->enCours(); }
    void finish() override { c_->terminer(); }
    QString target() const override { return c_->cibleEffective(); }

private:
    std::unique_ptr<ConversionV13> c_;
};
} // namespace

std::unique_ptr<RunningConversion> RunSteps::startConvert(const CompareResult& found, const QString& source,
                                                          const QString& target) {
    convert(found, source, target);
    return std::make_unique<DoneConversion>(target);
}

std::unique_ptr<RunningConversion>
HistoryRunSteps::startConvert(const CompareResult& found, const QString& source, const QString& target) {
    if (!programValues().convertisseurLigneCommande)
        return RunSteps::startConvert(found, source, target);
    auto c = std::make_unique<ConversionV13>(found.idEntete, source, target, found.dateFichierSource,
                                             found.tailleFichierSource, false);
    if (!c->preparer())
        return std::make_unique<DoneConversion>(target);
    if (c->convertit())
        c->demarrer();
    return std::make_unique<RunningV13>(std::move(c));
}

RunSteps& runSteps() {
    static HistoryRunSteps steps;
    RunSteps* s = engineServices().runSteps;
    return s ? *s : steps;
}

void HistoryRunSteps::beginFolder(const QStringList& sources) {
    entetes_.preparer(sources);
    dossierNotes_ = QString();
    ciblesNotees_.clear();
}

CompareResult HistoryRunSteps::compare(const QString& source, const QString& target) {
    CompareResult r;
    CompareFichierEtDonnees(source, target, r.conversionRequise, r.idEntete, r.dateFichierSource,
                            r.tailleFichierSource, &entetes_);
    if (r.conversionRequise)
        return r;
    // A note left by an attempt of this source can only be there if the
    // folder held one when the source folder's turn came: those of this run's
    // own attempts are of sources compared before.
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    const QString folder = target.left(slash + 1);
    if (dossierNotes_.isNull() || folder != dossierNotes_) {
        dossierNotes_ = folder;
        ciblesNotees_ = CiblesNotees(folder);
    }
    if (ciblesNotees_.contains(target.mid(slash + 1)))
        TerminerConversionInterrompue(target, source, r.dateFichierSource, r.tailleFichierSource);
    return r;
}

void HistoryRunSteps::convert(const CompareResult& found, const QString& source, const QString& target) {
    if (programValues().convertisseurLigneCommande) {
        LancerConvertV13(found.idEntete, source, target, found.dateFichierSource, found.tailleFichierSource,
                         false);
        return;
    }
    LancerConvertV09(found.idEntete, source, target, found.dateFichierSource, found.tailleFichierSource,
                     false);
}

} // namespace ks3
