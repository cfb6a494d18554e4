#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

class QProcess;

namespace ks3 {

// Converts source into target with the command-line converter, under the
// existing-target policy, and records the attempt in the history.
// convertVersKS: a UDP request (fixed suite format, no effects, source kept).
void LancerConvertV13(const QString& idEntete, const QString& source, const QString& target,
                      const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS);

// The longest wait for the converter, in milliseconds.
constexpr int kAttenteConvertisseurMaxMs = 900000;

// The steps of LancerConvertV13, for a run that has several converters going
// at once: preparer (the guard, the existing-target policy and its lines in
// ListeFichiersCible, the command), then demarrer without waiting, enCours
// until the converter has ended or its 15 minutes have passed (traced as the
// wait would), then terminer (the attempt in the history, the source deleted
// when asked). LancerConvertV13 is preparer, attendre and terminer.
class ConversionV13 {
public:
    ConversionV13(const QString& idEntete, const QString& source, const QString& target,
                  const QDateTime& dateFichierSource, qint64 tailleFichierSource, bool convertVersKS);
    ~ConversionV13();

    // False when the guard ends the attempt at once (the target exists and
    // "Ne pas convertir si la cible existe" is ticked): nothing else is done.
    bool preparer();
    // True when the policy lets the converter run (then demarrer or attendre).
    bool convertit() const;
    // The path the converter writes (the target, or the indexed one).
    const QString& cibleEffective() const;

    void attendre();
    void demarrer();
    bool enCours();
    void terminer();

private:
    struct Etat;
    std::unique_ptr<Etat> e_;
    QPointer<QProcess> process_;
    std::uint64_t debutAttente_ = 0;
};

} // namespace ks3
