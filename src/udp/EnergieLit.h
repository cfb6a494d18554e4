#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ks3 {

// The energy file of a delivered sound: the sound's folder and name with ".gpx",
// records of 4096 bytes, each holding the duration in milliseconds (10 digits),
// the level count of the whole file (10 digits), the count held in the record
// (10 digits) and up to 4000 levels of one byte, one per 768-byte block of the
// sound file.
namespace energie {
inline constexpr int kTailleEnreg = 4096;
inline constexpr int kTailleBloc = 768;
inline constexpr int kNiveauxParEnreg = 4000;
inline constexpr int kEcartToleree = 48; // ms of difference kept without a rebuild
} // namespace energie

// The level of one 768-byte block: the mean of the two 16-bit big-endian words
// at bytes 763 and 765, scaled to 0..100 (halves to even).
std::uint8_t NiveauBloc(const unsigned char* bloc);

// Makes sure the energy file of the sound file path holds the duration duree
// (it is rebuilt from the sound when the stored duration differs by more than
// 48 ms, or is missing), then reads it back: count receives the level count of
// the whole file and niveaux every level in order. A rebuilt file is written
// under a temporary name and renamed, so its name never shows a partial file.
void EnergieLit(std::int32_t& count, const QString& path, std::int32_t duree, QByteArray& niveaux,
                const QString& caller);

} // namespace ks3
