#pragma once

#include "store/BtrRequestBlock.h"

#include <QString>
#include <cstdint>

namespace ks3 {

// The one keyed operation through which the program reads and writes its
// record files. The record goes in and out through the table's record buffer
// (store/RecordBuffers.h), the key through cle, the status into
// btrRequest().BtrStatut. Record conflicts, locks and transaction statuses are
// retried; other failures are reported (ErreurBTrieve) except the statuses a
// caller expects: 5 on Insert and Update, 4, 5 and 9 on the other operations.
//
// origine ("Module:Procedure") names the caller in the call history; an empty
// one leaves the history as it is. A station below 1 runs as station 1.
void BTRieve(int base, int operation, QString& cle, int noCle, int noFichier, int station,
             const QString& origine);

// The same call made from the request block: BtrOperation, BtrCle, BtrNoCle and
// BtrFichier; the key found comes back in BtrCle.
void BTRieve(int base, int station, const QString& origine);

// True when the last BTRieve gave up on a record that another program kept
// changing (the status is then 80).
bool EnregOccupe();

// The station number of a base's record calls; 0 in this program (so station 1).
int NoStationBase(int base);

// Sends one operation to the record manager with the table's record buffer and
// the file's position block; returns the status.
std::int16_t BTRieve_Reel(int base, int station, int operation, QString& cle, int noCle, int noFichier);

} // namespace ks3
