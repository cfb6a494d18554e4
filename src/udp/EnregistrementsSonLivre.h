#pragma once

#include "udp/DureeSon.h"

#include <QString>
#include <cstdint>

namespace ks3 {

// The suite's records of a sound delivered on request, updated station by
// station in a fixed order. Every call names the caller
// "FrmSetup:LabelDataArrivalUDP_Change", base 0. A failing record call is
// reported by the record layer and the step goes on with the next station;
// nothing done before is undone.
struct SonLivre {
    QString song;            // the song code, exactly 8 characters
    QString slot;            // the sound-folder slot digit
    std::int64_t taille = 0; // T, the size value of the delivered sound
    DureeSon duree;          // D, S and "N"/"E" computed from T
};

// The start, stop and loop pointers of the song (table 31), deleted on every
// station: they belonged to the old sound.
void SupprimerPointeursSon(const QString& song);

// The recorder's records of the song (table 26) on every station: duration D,
// "N"/"E", "S" and the format "S48".
void MettreAJourMagnetoSon(const QString& song, const DureeSon& duree);

// The library on every station, unless the song is an advertisement ("PUB"):
// the song record (22), the totals of its artists (20), category and themes
// (21) moved by the new seconds minus the old, the sound information (37, on
// station 1) and the "DUREE" extra key (29).
void MettreAJourBibliothequeSon(const SonLivre& son);

// Whether the song has its record (table 22) on station 1: only then do the
// other workstations hear that it changed.
bool MorceauConnuStation1(const QString& song);

// Z<n>(x): the decimal value right-aligned and zero-filled in n characters,
// of which only the rightmost n remain when it is longer.
QString ZeroGauche(std::int64_t valeur, int n);

} // namespace ks3
