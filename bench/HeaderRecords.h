#pragma once

#include "platform/Btrcall.h"

#include <QByteArray>

#include <cstdint>
#include <string>

namespace ks3::bench {

// The conversion headers the record-manager benchmarks work on: 100 000
// records of 900 bytes in entry 41's layout; key 0 the header number, key 1
// the source name (duplicates, no case), key 2 the processing date (likewise).
constexpr int RecordCount = 100000;
constexpr int RecordLength = 900;

QByteArray headerId(long n);
QByteArray sourceName(long n);
QByteArray processingDate(long n);
// Header n: id, source name, processing date, source date, size, to-convert
// flag, target name, folders, success flag, reserved.
QByteArray header(long n);
// The record file's definition (the data buffer of a Create).
QByteArray headerDefinition();

// A record file of the headers, written through the record manager.
struct HeaderFile {
    btr::PositionBlock block{};
    long nextId = RecordCount + 1;

    std::int16_t call(std::uint16_t op, QByteArray& data, QByteArray& key, int keyNumber);
    // Creates the file at path (a file system path or a server URL) and
    // writes every header, a thousand per transaction; what failed, empty
    // when nothing did.
    std::string load(const QByteArray& path);
};

} // namespace ks3::bench
