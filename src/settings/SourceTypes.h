#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ks3 {

// One entry of the source-type list of the options window; its code is its
// position. The scan looks for the patterns of the selected entries.
struct SourceType {
    int code;
    QString libelle;        // text shown, "Wave (*.wave; *.wav)"
    QString motifs;         // the text in brackets without spaces, "*.wave;*.wav"; empty for the separator
    QStringList extensions; // ".wave", ".wav"
    bool separateur;        // the "===== Logiciels =====" line: never selected nor stored
};

inline constexpr int kNombreTypesSource = 18;
inline constexpr int kSourceSeparateur = 14;

// The eighteen entries, in list order.
const std::vector<SourceType>& sourceTypes();

} // namespace ks3
