#pragma once

#include "platform/BtrFileDefinition.h"
#include "platform/SqliteStatement.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

struct sqlite3;

namespace ks3::btr {

// One record file: a SQLite database holding the file's definition and its
// records, each with its key columns (sort forms, BLOB order = key order), a
// sequence per duplicate key (insertion order among equal keys) and a version
// number that tells a reader whether the record changed since it read it.
//
// Every write is one SQLite transaction committed with a full sync before the
// call returns, unless the file takes part in a transaction of the process.
// A database locked by another writer is waited for a short while (the busy
// wait goes through the platform host, the program's clock), then reported as StatusFileLocked.
class RecordFile {
public:
    // Where a search lands, relative to a key (and a sequence for After and
    // Before, the continuation of Get Next and Get Previous).
    enum class Seek { Equal, Greater, GreaterOrEqual, Less, LessOrEqual, First, Last, After, Before, Count };

    struct Row {
        std::int64_t id = 0;
        std::int64_t version = 0;
        std::int64_t sequence = 0;
        QByteArray data;
        QByteArray sortKey;
    };

    // Result of a write: the record's new version and its sequence per key.
    struct Written {
        std::int64_t id = 0;
        std::int64_t version = 0;
        std::vector<std::int64_t> sequences;
    };

    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Creates the file at path (whole or not at all). replace: an existing
    // record file is emptied and given the new definition in one
    // transaction; otherwise an existing file gives StatusFileExists.
    static std::int16_t create(const std::string& path, const FileDefinition& definition, bool replace);
    // Opens an existing record file: StatusFileNotFound when missing,
    // StatusNotARecordFile when the file is not one of ours.
    static std::int16_t open(const std::string& path, std::unique_ptr<RecordFile>& out);

    const FileDefinition& definition() const { return definition_; }
    dev_t device() const { return device_; }
    ino_t inode() const { return inode_; }

    std::int16_t find(int key, Seek seek, const QByteArray& sortKey, std::int64_t sequence, Row& row);
    // The records whose key lies between low and high (sort forms, both
    // included), in key order, at most max of them; more gives
    // StatusDataBufferTooShort with the first max records.
    std::int16_t findRange(int key, const QByteArray& low, const QByteArray& high, std::size_t max,
                           std::vector<QByteArray>& records);
    std::int16_t insert(const QByteArray& record, Written& written);
    // Writes over the record `id` if it still has `version`: StatusRecordConflict
    // when another user changed or deleted it, StatusKeyNotModifiable when a
    // key that may not change would.
    std::int16_t update(std::int64_t id, std::int64_t version, const QByteArray& record, Written& written);
    std::int16_t remove(std::int64_t id, std::int64_t version);

    // Transaction of the process: from begin() on, writes stay uncommitted
    // (and the file locked for other writers) until commit() or rollback().
    std::int16_t begin();
    std::int16_t commit();
    std::int16_t rollback();
    bool inTransaction() const { return inTransaction_; }

    // Maps a SQLite result code to a status.
    static std::int16_t statusOf(int sqliteCode);

private:
    RecordFile() = default;
    std::int16_t loadDefinition();
    void prepareStatements();
    SqliteStatement& findStatement(int key, Seek seek);
    std::int64_t nextSequence(int key, const QByteArray& sortKey, std::int16_t& status);
    std::int16_t beginWrite();
    std::int16_t endWrite(std::int16_t status);
    std::int16_t exec(SqliteStatement& st);

    sqlite3* db_ = nullptr;
    FileDefinition definition_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool inTransaction_ = false;

    SqliteStatement begin_, commit_, rollback_;
    SqliteStatement insert_, readKeys_, update_, delete_;
    std::vector<SqliteStatement> lastSequence_;
    std::vector<std::array<SqliteStatement, std::size_t(Seek::Count)>> find_;
    std::vector<SqliteStatement> range_;
};

} // namespace ks3::btr
