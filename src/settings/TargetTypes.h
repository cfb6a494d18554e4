#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ks3 {

// One target type of the options window; its code is its position. Choosing it
// fills the characteristics list with its entries and selects its preset. It
// also says how the converter writes it (engine/ConverterCommand.h reads it):
// the -convert_to codec, and the settings of each entry of the list, as
// "-name=value" or a bare "-flag".
struct TargetType {
    int code;
    QString libelle;              // "MPEG-1 Layer 3 (*.mp3)"
    QString extension;            // ".mp3", dot included
    QString codec;                // -convert_to="mp3 (Lame)"
    QStringList caracteristiques; // the entries of the characteristics list, index 0, 1, ...
    // The converter's settings of entry n of the list; an index without an
    // entry gives none.
    std::vector<QStringList> reglages;
    // The converter's settings whatever the entry, none selected included.
    QStringList reglagesCommuns;
    int preset; // index selected when the type is chosen; -1 for an empty list
};

inline constexpr int kNombreTypesCible = 9;
// The type read when the stored code is none of the table's.
inline constexpr int kCibleParDefaut = 2;
// The suite's own format, which has no characteristics in the window.
inline constexpr int kCibleS48 = 8;
// The settings of a sound delivered to the suite: the s48 type at 256 kbit/s,
// 48000 Hz, stereo.
inline constexpr int kReglagesFormatSuite = 2;

// The nine types, in list order.
const std::vector<TargetType>& targetTypes();
// The type of that code, or nullptr.
const TargetType* targetType(int code);

} // namespace ks3
