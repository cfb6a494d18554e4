#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ks3 {

// One target type of the options window; its code is its position. Choosing it
// fills the characteristics list with its entries and selects its preset.
struct TargetType {
    int code;
    QString libelle;              // "MPEG-1 Layer 3 (*.mp3)"
    QString extension;            // ".mp3", dot included
    QStringList caracteristiques; // the entries of the characteristics list, index 0, 1, ...
    int preset;                   // index selected when the type is chosen; -1 for an empty list
};

inline constexpr int kNombreTypesCible = 9;
// The type read when the stored code is none of the table's.
inline constexpr int kCibleParDefaut = 2;
// The suite's own format, which has no characteristics.
inline constexpr int kCibleS48 = 8;

// The nine types, in list order.
const std::vector<TargetType>& targetTypes();
// The type of that code, or nullptr.
const TargetType* targetType(int code);

} // namespace ks3
