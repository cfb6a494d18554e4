#pragma once

#include <QString>

namespace ks3 {

// The text between the first "(" of a type's label and the following ")", with
// every space removed: "Wave (*.wave; *.wav)" gives "*.wave;*.wav". Empty when
// the label has no brackets.
QString motifsDuLibelle(const QString& libelle);

} // namespace ks3
