#pragma once

#include <QString>

namespace ks3 {

// Whether a song code from a request may go into a file name (the copy under
// the song's name, the ".s48" target): no "/", "\", "..", control character,
// nor any character a file name on the suite's workstations cannot hold
// (< > : " | ? *). A blank code is accepted: it names no file of its own.
bool CodeMorceauValide(const QString& song);

} // namespace ks3
