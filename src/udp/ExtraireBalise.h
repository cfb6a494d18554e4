#pragma once

#include <QString>

namespace ks3 {

// The value of a tag ("<Song:") in a request: what follows the first
// occurrence of the tag (letter case ignored) up to the next ">"; empty when
// the text is blank, the tag absent or not closed.
QString ExtraireBalise(const QString& Texte, const QString& Balise);

} // namespace ks3
