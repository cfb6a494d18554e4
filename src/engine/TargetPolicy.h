#pragma once

#include <QString>
#include <QStringList>

namespace ks3 {

// The settings that decide what happens around an existing target.
struct TargetPolicySettings {
    bool nePasConvertir = false; // "Ne pas convertir si la cible existe"
    int cibleExistant = 0;       // 0 overwrite, 1 index, 2 ask, 3 never; -1 none selected
    bool convertVoirFenetre = false;
    bool detruireSource = false;
};
TargetPolicySettings currentTargetPolicySettings();

// What the policy decided for one target.
struct TargetDecision {
    QStringList lines;      // remarks for the list of the conversion
    QString cibleEffective; // the path the converter must write
    bool convert = true;    // false: the converter must not run
    QString failure;        // non-empty: the attempt fails with this message
};

// Applies the existing-target policy (a UDP request always replaces the target).
// Whatever the policy, a target that is the source itself is refused, and in a
// run a target already written from another source is indexed, never replaced.
TargetDecision applyTargetPolicy(const QString& source, const QString& target, bool udpRequest,
                                 const TargetPolicySettings& settings);

} // namespace ks3
