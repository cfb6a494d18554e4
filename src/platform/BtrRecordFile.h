#pragma once

#include "platform/BtrFileDefinition.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ks3::btr {

// The columns of key k in a record file's table, in either back-end: the
// key's sort form, and the sequence that orders its duplicates.
std::string keyColumn(int k);
std::string seqColumn(int k);

// One record file, whatever holds it: its records, each with its key values
// in their sort forms (unsigned byte order = key order), a sequence per
// duplicate key (insertion order among equal keys) and a version number that
// tells a reader whether the record changed since it read it.
//
// The path chooses where the file lives, here and nowhere else: a path
// written as a PostgreSQL URL ("postgresql://server/database/FRAD041.bt6")
// names a table of that database (PgRecordFile), any other path a SQLite
// database on the file system (SqliteRecordFile).
//
// Every write is committed and durable before the call returns, unless the
// file takes part in a transaction of the process. A file held by another
// writer is waited for a short while, then reported as StatusFileLocked.
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

    virtual ~RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // True when the path names a table of a PostgreSQL server.
    static bool onServer(const std::string& path);

    // Creates the file at path (whole or not at all). replace: an existing
    // record file is emptied and given the new definition in one
    // transaction; otherwise an existing file gives StatusFileExists.
    static std::int16_t create(const std::string& path, const FileDefinition& definition, bool replace);
    // Opens an existing record file: StatusFileNotFound when missing,
    // StatusNotARecordFile when it is not one of ours.
    static std::int16_t open(const std::string& path, std::unique_ptr<RecordFile>& out);
    // What names the file behind a path, so that two paths to one file are
    // known as one (empty when there is nothing at the path).
    static std::string identityOf(const std::string& path);

    const FileDefinition& definition() const { return definition_; }
    const std::string& identity() const { return identity_; }
    bool inTransaction() const { return inTransaction_; }

    virtual std::int16_t find(int key, Seek seek, const QByteArray& sortKey, std::int64_t sequence,
                              Row& row) = 0;
    // The records whose key lies between low and high (sort forms, both
    // included), in key order, at most max of them; more gives
    // StatusDataBufferTooShort with the first max records.
    virtual std::int16_t findRange(int key, const QByteArray& low, const QByteArray& high, std::size_t max,
                                   std::vector<QByteArray>& records) = 0;
    virtual std::int16_t insert(const QByteArray& record, Written& written) = 0;
    // Writes over the record `id` if it still has `version`: StatusRecordConflict
    // when another user changed or deleted it, StatusKeyNotModifiable when a
    // key that may not change would.
    virtual std::int16_t update(std::int64_t id, std::int64_t version, const QByteArray& record,
                                Written& written) = 0;
    virtual std::int16_t remove(std::int64_t id, std::int64_t version) = 0;

    // Transaction of the process: from begin() on, writes stay uncommitted
    // (and the file locked for other writers) until commit() or rollback().
    virtual std::int16_t begin() = 0;
    virtual std::int16_t commit() = 0;
    virtual std::int16_t rollback() = 0;

protected:
    RecordFile() = default;

    // The sort form of every key of a record (null for a null key).
    std::vector<QByteArray> sortKeysOf(const QByteArray& record) const;

    // What follows WHERE in the statement that finds the one record at seek
    // on key: the condition, the order and the limit. The parameters are
    // written p1 (the sort key) and p2 (the sequence of a duplicate) in the
    // back-end's own notation.
    std::string seekCondition(int key, Seek seek, const std::string& p1, const std::string& p2) const;

    FileDefinition definition_;
    std::string identity_;
    bool inTransaction_ = false;
};

} // namespace ks3::btr
