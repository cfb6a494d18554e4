#pragma once

#include <QString>

namespace ks3 {

class FileTraitementsUDP;

// The command handler of the receive rows. A request is one text of tags
// "<Name:value>": "<Do:Convert><Song:JIN00123><SoundFile:/in/take 1.wav>"
// brings the sound file into the station's sound library as the song's
// ".s48" (copied under the song's name beside the source first), records its
// size and duration in the suite's records of every station, builds its
// energy file and tells the other workstations "<Info:Changed><Song:...>".
//
// Handles the request texte received on row Index, to its end.
void LabelDataArrivalUDP_Change(int Index, const QString& texte);

// The handlings of this process, kept apart (udp/FileTraitementsUDP.h): the
// handler the program installs on the receive rows.
FileTraitementsUDP& traitementsUDP();

// Makes traitementsUDP() the command handler of the receive rows.
void InstallerGestionnaireUDP();

} // namespace ks3
