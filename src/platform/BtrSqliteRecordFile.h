#pragma once

#include "platform/BtrRecordFile.h"
#include "platform/SqliteStatement.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace ks3::btr {

// A record file on the file system: one SQLite database holding the file's
// definition and its records, each with its key columns (sort forms, BLOB
// order = key order), its duplicate sequences and its version.
//
// Every write is one SQLite transaction committed with a full sync before the
// call returns, unless the file takes part in a transaction of the process.
// A database locked by another writer is waited for a short while (the busy
// wait goes through the platform host, the program's clock), then reported as
// StatusFileLocked.
class SqliteRecordFile final : public RecordFile {
public:
    ~SqliteRecordFile() override;

    static std::int16_t create(const std::string& path, const FileDefinition& definition, bool replace);
    // An empty file holds no record file yet: StatusFileNotFound.
    static std::int16_t open(const std::string& path, std::unique_ptr<RecordFile>& out);
    // Device and inode of the file.
    static std::string identityOf(const std::string& path);

    std::int16_t find(int key, Seek seek, const QByteArray& sortKey, std::int64_t sequence,
                      Row& row) override;
    std::int16_t insert(const QByteArray& record, Written& written) override;
    std::int16_t update(std::int64_t id, std::int64_t version, const QByteArray& record,
                        Written& written) override;
    std::int16_t remove(std::int64_t id, std::int64_t version) override;

    std::int16_t begin() override;
    std::int16_t commit() override;
    std::int16_t rollback() override;

    // Maps a SQLite result code to a status.
    static std::int16_t statusOf(int sqliteCode);

private:
    SqliteRecordFile() = default;
    std::int16_t loadDefinition();
    void prepareStatements();
    SqliteStatement& findStatement(int key, Seek seek);
    std::int64_t nextSequence(int key, const QByteArray& sortKey, std::int16_t& status);
    std::int16_t beginWrite();
    std::int16_t endWrite(std::int16_t status);
    std::int16_t exec(SqliteStatement& st);

    sqlite3* db_ = nullptr;

    SqliteStatement begin_, commit_, rollback_;
    SqliteStatement insert_, readKeys_, update_, delete_;
    std::vector<SqliteStatement> lastSequence_;
    std::vector<std::array<SqliteStatement, std::size_t(Seek::Count)>> find_;
};

} // namespace ks3::btr
