#pragma once

#include <cstdint>

// The keyed record manager of the suite, reached through one call.
//
// A record file holds fixed-length records indexed by up to 119 keys. A key is
// made of segments (position, length, flags) taken from the record in order and
// compared as unsigned bytes; case-insensitive keys compare as capitals. A
// record file is one SQLite database at the path given to Create, or, when
// the path is a PostgreSQL URL ("postgresql://server/database/FRAD041.bt6"),
// one table of that database; several processes (and, on a server, several
// computers) may use it at once: each write is durable when the call returns.
//
// Conventions of every call:
// - The position block is the caller's: Open fills it, every later call on the
//   file passes it back unchanged. One block = one cursor with its own current
//   record. Opening the same file twice gives two independent blocks.
// - The data length is in/out: the size of the data buffer on the way in, the
//   number of bytes returned on the way out. Insert and Update store the first
//   record-length bytes of the buffer (a longer buffer is fine, a shorter one
//   gives DataBufferTooShort); Gets need a buffer of the record length.
// - The key length is the size of the key buffer. The key value is read from
//   the first bytes of the buffer (the key's own length); Gets, Insert and
//   Update write the key of the record there and leave the bytes after it as
//   they were. A buffer shorter than the key gives KeyBufferTooShort.
// - Open and Create take the file path in the key buffer, in the file system's
//   encoding (UTF-8), ended by a zero byte or by the key length; trailing
//   blanks are ignored. Open takes the open mode as key number (OpenNormal,
//   OpenAccelerated, OpenVerify: normal; OpenReadOnly: no writes). Create takes
//   the file definition (FileDefinition below) in the data buffer; key number
//   CreateNoReplace refuses an existing file (FileExists), 0 replaces it.
// - Transactions belong to the process and span every file it touches after
//   Begin; a file joined to a transaction stays locked for writing by others
//   until End or Abort.

namespace ks3::btr {

// Operation codes.
enum Operation : std::uint16_t {
    OpOpen = 0,
    OpClose = 1,
    OpInsert = 2,
    OpUpdate = 3,
    OpDelete = 4,
    OpGetEqual = 5,
    OpGetNext = 6,
    OpGetPrevious = 7,
    OpGetGreater = 8,
    OpGetGreaterOrEqual = 9,
    OpGetLess = 10,
    OpGetLessOrEqual = 11,
    OpGetFirst = 12,
    OpGetLast = 13,
    OpCreate = 14,
    OpBeginTransaction = 19,
    OpEndTransaction = 20,
    OpAbortTransaction = 21,
    OpStop = 25,
    OpBeginConcurrentTransaction = 1019,
};

// Status codes (the record manager's numbering).
enum Status : std::int16_t {
    StatusSuccess = 0,
    StatusInvalidOperation = 1,
    StatusIoError = 2,
    StatusFileNotOpen = 3,
    StatusKeyNotFound = 4,
    StatusDuplicateKey = 5,
    StatusInvalidKeyNumber = 6,
    StatusDifferentKeyNumber = 7,
    StatusInvalidPositioning = 8,
    StatusEndOfFile = 9,
    StatusKeyNotModifiable = 10,
    StatusInvalidFileName = 11,
    StatusFileNotFound = 12,
    StatusDiskFull = 18,
    StatusUnrecoverable = 19,
    StatusManagerInactive = 20,
    StatusKeyBufferTooShort = 21,
    StatusDataBufferTooShort = 22,
    StatusInvalidPageSize = 24,
    StatusCreateIoError = 25,
    StatusInvalidNumberOfKeys = 26,
    StatusInvalidKeyPosition = 27,
    StatusInvalidRecordLength = 28,
    StatusInvalidKeyLength = 29,
    StatusNotARecordFile = 30,
    StatusTransactionError = 36,
    StatusTransactionActive = 37,
    StatusEndWithoutBegin = 39,
    StatusAccessDenied = 46,
    StatusInvalidAlternateSequence = 48,
    StatusInvalidExtendedType = 49,
    StatusFileExists = 59,
    StatusRecordConflict = 80,
    StatusLockError = 81,
    StatusLostPosition = 82,
    StatusFileLocked = 85,
    // The server of a record file cannot be reached (or was lost and could
    // not be reached again): the first of the network statuses.
    StatusServerUnreachable = 3103,
};

// Open modes (key number of Open).
enum OpenMode : std::int16_t {
    OpenNormal = 0,
    OpenAccelerated = -1,
    OpenReadOnly = -2,
    OpenVerify = -3,
};

// Key number of Create that refuses to replace an existing file.
constexpr std::int16_t CreateNoReplace = -1;

// Key flags of a segment.
enum KeyFlag : std::uint16_t {
    KeyDuplicates = 1,
    KeyModifiable = 2,
    KeyBinary = 4,
    KeyNull = 8,
    KeySegmented = 16,
    KeyAlternateSequence = 32,
    KeyDescending = 64,
    KeyExtendedType = 256,
    KeyCaseInsensitive = 1024,
};

// File definition of Create, little-endian 16-bit numbers unless stated:
// 0 record length, 2 page size, 4 number of keys, 6 record count (32-bit,
// ignored), 10 file flags, 12 reserved, 14 pre-allocation; then from offset 16
// one 16-byte segment definition per segment, keys in order (a segment whose
// flags carry KeySegmented is followed by another segment of the same key):
// 0 position (1-based), 2 length, 4 flags, 6 unused (4), 10 extended data type
// (byte), 11 null value (byte), 12 reserved (4).
constexpr int FileDefinitionHeaderSize = 16;
constexpr int SegmentDefinitionSize = 16;

constexpr int PositionBlockSize = 128;

// The position block: opaque to the caller, passed back unchanged.
struct PositionBlock {
    unsigned char bytes[PositionBlockSize];
};
static_assert(sizeof(PositionBlock) == PositionBlockSize);

} // namespace ks3::btr

namespace ks3 {

// One record-manager call. positionBlock points to 128 bytes; dataLength is
// in/out; keyLength is the size of keyBuffer. Returns a btr::Status value.
std::int16_t BTRCALL(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                     std::uint32_t* dataLength, void* keyBuffer, std::uint16_t keyLength,
                     std::int16_t keyNumber);

} // namespace ks3
