#pragma once

#include <QString>

namespace ks3 {

// The shared request block of the record layer: callers fill the operation,
// key, key number and file number, call BTRieve, and read the status (and the
// key found) back from here.
struct BtrRequestBlock {
    int BtrOperation = 0;
    QString BtrCle;
    int BtrNoCle = 0;
    int BtrFichier = 0;
    int BtrStatut = 0;
};

BtrRequestBlock& btrRequest();

} // namespace ks3
