#pragma once

#include "platform/BtrRecordFile.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace ks3::btr {

// A record file on a PostgreSQL server. The path is the database's URL
// followed by the file's name ("postgresql://station-db/kestrel/FRAD041.bt6"):
// the file is the table of that name, its definition a row of the table
// ks3_record_files of the same schema. Each row of the file holds its record
// (data), its key values in their sort forms (bytea, compared as unsigned
// bytes), a sequence per duplicate key and a version.
//
// One connection per open file. Every write outside a transaction of the
// process is one statement committed with synchronous commit before the call
// returns. A lock held by another writer is waited for lock_timeout (150 ms),
// then reported as StatusFileLocked; a transaction of the process locks the
// table against other writers until its end, as a SQLite file is locked. A
// connection lost is opened again once, before the call gives up with
// StatusServerUnreachable.
class PgRecordFile final : public RecordFile {
public:
    ~PgRecordFile() override;

    static std::int16_t create(const std::string& path, const FileDefinition& definition, bool replace);
    static std::int16_t open(const std::string& path, std::unique_ptr<RecordFile>& out);
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

    // Parameters of a statement, sent in binary: bytea values (a null
    // QByteArray is NULL) and 64-bit integers.
    class Params {
    public:
        Params& bytes(const QByteArray& value);
        Params& integer(std::int64_t value);

    private:
        friend class PgRecordFile;
        std::vector<QByteArray> values_;
        std::vector<unsigned int> types_;
    };

private:
    PgRecordFile() = default;
    std::int16_t connect();
    // Runs a statement of this file (prepared under `name` at its first use);
    // out receives the result (freed by the caller with PQclear).
    std::int16_t run(const std::string& name, const std::string& sql, const Params& params, pg_result*& out);
    std::int16_t command(const char* sql);
    std::int16_t write(const std::string& name, const std::string& sql, const Params& params,
                       pg_result*& out);
    std::string findSql(int key, Seek seek) const;

    pg_conn* conn_ = nullptr;
    std::string conninfo_;
    std::string table_;    // quoted identifier
    std::string sequence_; // quoted identifier of the id and duplicate sequence
    std::set<std::string> prepared_;
};

} // namespace ks3::btr
