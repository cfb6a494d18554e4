#include "platform/BtrPgRecordFile.h"

#include "platform/Btrcall.h"

#include <libpq-fe.h>

#include <cstring>

namespace ks3::btr {

namespace {

constexpr const char* FormatName = "KS3 record file";
constexpr int FormatVersion = 1;
// Serialises the creations of one database ("K3BT").
constexpr const char* CreateLockSql = "SELECT pg_advisory_xact_lock(1261589076)";
constexpr const char* CatalogueSql =
    "CREATE TABLE IF NOT EXISTS ks3_record_files(name text PRIMARY KEY, format text NOT NULL, "
    "version integer NOT NULL, definition bytea NOT NULL)";
// PostgreSQL cuts longer identifiers; the sequence's name adds 3 bytes.
constexpr std::size_t MaxNameBytes = 60;

constexpr unsigned int ByteaOid = 17;
constexpr unsigned int Int8Oid = 20;

// Every session of the record manager: each commit reaches the server's disk
// before the call returns; a lock is waited for a short while only.
constexpr const char* SessionSql = "SET synchronous_commit = on; SET lock_timeout = '150ms'; "
                                   "SET client_min_messages = warning";

struct Location {
    std::string conninfo;
    std::string name;
};

// "postgresql://server/database/NAME": the URL of the database, then the
// file's name after the last "/".
bool locate(const std::string& path, Location& out) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 >= path.size())
        return false;
    out.conninfo = path.substr(0, slash);
    out.name = path.substr(slash + 1);
    const auto scheme = out.conninfo.find("://");
    if (scheme == std::string::npos || out.conninfo.find('/', scheme + 3) == std::string::npos)
        return false; // no database in the URL
    return out.name.size() <= MaxNameBytes;
}

void quiet(void*, const char*) {}

std::string quoted(const std::string& identifier) {
    std::string q = "\"";
    for (const char c : identifier) {
        if (c == '"')
            q += '"';
        q += c;
    }
    return q + "\"";
}

// A name as a string literal (the sequence's, for nextval).
std::string literal(const std::string& text) {
    std::string q = "'";
    for (const char c : text) {
        if (c == '\'')
            q += '\'';
        q += c;
    }
    return q + "'";
}

std::int64_t int8At(const PGresult* r, int row, int col) {
    const auto* b = reinterpret_cast<const unsigned char*>(PQgetvalue(r, row, col));
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | b[i];
    return std::int64_t(v);
}

QByteArray bytesAt(const PGresult* r, int row, int col) {
    if (PQgetisnull(r, row, col))
        return QByteArray();
    QByteArray b(PQgetvalue(r, row, col), PQgetlength(r, row, col));
    if (b.isNull())
        b = QByteArray("", 0); // an empty value is not NULL
    return b;
}

bool connectionLost(PGconn* conn) {
    return !conn || PQstatus(conn) != CONNECTION_OK;
}

std::int16_t statusOf(PGconn* conn, const PGresult* r) {
    const ExecStatusType e = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (e == PGRES_COMMAND_OK || e == PGRES_TUPLES_OK)
        return StatusSuccess;
    if (connectionLost(conn))
        return StatusServerUnreachable;
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const std::string s = state ? state : "";
    if (s == "23505")
        return StatusDuplicateKey;
    if (s == "55P03" || s == "57014" || s == "40P01")
        return StatusFileLocked;
    if (s == "40001")
        return StatusRecordConflict;
    if (s == "53100")
        return StatusDiskFull;
    if (s == "42501")
        return StatusAccessDenied;
    if (s.rfind("08", 0) == 0 || s.rfind("57P", 0) == 0)
        return StatusServerUnreachable;
    return StatusIoError;
}

// Opens a session on the database of conninfo.
std::int16_t openSession(const std::string& conninfo, PGconn*& conn) {
    // A server that does not answer is given up after a while, not after
    // the system's TCP time-out; the URL's own values win over these.
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "KS3_Tools_Convert", conninfo.c_str(), nullptr};
    conn = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn) != CONNECTION_OK) {
        PQfinish(conn);
        conn = nullptr;
        return StatusServerUnreachable;
    }
    PQsetNoticeProcessor(conn, quiet, nullptr);
    PGresult* r = PQexec(conn, SessionSql);
    const std::int16_t s = statusOf(conn, r);
    PQclear(r);
    if (s != StatusSuccess) {
        PQfinish(conn);
        conn = nullptr;
    }
    return s;
}

// One statement with its parameters in binary and its result in binary.
PGresult* execParams(PGconn* conn, const char* sql, const std::vector<QByteArray>& values,
                     const std::vector<unsigned int>& types) {
    std::vector<const char*> v;
    std::vector<int> lengths, formats;
    for (const QByteArray& b : values) {
        v.push_back(b.isNull() ? nullptr : b.constData());
        lengths.push_back(int(b.size()));
        formats.push_back(1);
    }
    return PQexecParams(conn, sql, int(values.size()), types.data(), v.data(), lengths.data(), formats.data(),
                        1);
}

std::int16_t simple(PGconn* conn, const char* sql) {
    PGresult* r = PQexec(conn, sql);
    const std::int16_t s = statusOf(conn, r);
    PQclear(r);
    return s;
}

// Is there a table of that name, registered or not? 1 yes, 0 no, -1 failure.
int tableExists(PGconn* conn, const std::string& name) {
    PGresult* r = execParams(conn, "SELECT to_regclass(quote_ident($1::text)) IS NOT NULL",
                             {QByteArray::fromStdString(name)}, {25});
    int exists = -1;
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
        exists = PQgetvalue(r, 0, 0)[0] ? 1 : 0;
    PQclear(r);
    return exists;
}

std::string schemaSql(const std::string& table, const std::string& sequence,
                      const FileDefinition& definition) {
    std::string sql = "CREATE SEQUENCE IF NOT EXISTS " + sequence + "; CREATE TABLE " + table +
                      "(id bigint PRIMARY KEY, version bigint NOT NULL, data bytea NOT NULL";
    for (int k = 0; k < int(definition.keys.size()); ++k) {
        sql += ", " + keyColumn(k) + " bytea";
        if (definition.keys[std::size_t(k)].duplicates())
            sql += ", " + seqColumn(k) + " bigint";
    }
    sql += ");";
    for (int k = 0; k < int(definition.keys.size()); ++k) {
        if (definition.keys[std::size_t(k)].duplicates())
            sql += "CREATE INDEX ON " + table + "(" + keyColumn(k) + ", " + seqColumn(k) + ");";
        else
            sql += "CREATE UNIQUE INDEX ON " + table + "(" + keyColumn(k) + ");";
    }
    return sql;
}

} // namespace

PgRecordFile::Params& PgRecordFile::Params::bytes(const QByteArray& value) {
    values_.push_back(value);
    types_.push_back(ByteaOid);
    return *this;
}

PgRecordFile::Params& PgRecordFile::Params::integer(std::int64_t value) {
    QByteArray b(8, '\0');
    for (int i = 0; i < 8; ++i)
        b[i] = char((std::uint64_t(value) >> (56 - 8 * i)) & 0xFF);
    values_.push_back(b);
    types_.push_back(Int8Oid);
    return *this;
}

PgRecordFile::~PgRecordFile() {
    if (inTransaction_ && conn_)
        simple(conn_, "ROLLBACK");
    PQfinish(conn_);
}

std::string PgRecordFile::identityOf(const std::string& path) {
    return "pg:" + path;
}

std::int16_t PgRecordFile::create(const std::string& path, const FileDefinition& definition, bool replace) {
    Location at;
    if (!locate(path, at))
        return StatusInvalidFileName;
    PGconn* conn = nullptr;
    if (const std::int16_t s = openSession(at.conninfo, conn); s != StatusSuccess)
        return s;
    const std::string table = quoted(at.name), sequence = quoted(at.name + "#id");
    const QByteArray name = QByteArray::fromStdString(at.name);

    // One transaction: the file appears whole or not at all, and a failure
    // leaves an older one as it was.
    std::int16_t s = simple(conn, "BEGIN");
    // Another workstation creating a file at the same moment is waited for
    // (it may be syncing its own creation): what it creates is then found.
    if (s == StatusSuccess)
        s = simple(conn, "SET LOCAL lock_timeout = '10s'");
    if (s == StatusSuccess)
        s = simple(conn, CreateLockSql);
    if (s == StatusSuccess)
        s = simple(conn, CatalogueSql);
    bool registered = false;
    int exists = 0;
    if (s == StatusSuccess) {
        PGresult* r = execParams(conn, "SELECT 1 FROM ks3_record_files WHERE name = $1::text", {name}, {25});
        s = statusOf(conn, r);
        registered = s == StatusSuccess && PQntuples(r) > 0;
        PQclear(r);
        exists = tableExists(conn, at.name);
        if (s == StatusSuccess && exists < 0)
            s = statusOf(conn, nullptr);
    }
    if (s == StatusSuccess && exists && !replace)
        s = StatusFileExists;
    // A table of another program is never dropped.
    if (s == StatusSuccess && exists && !registered)
        s = StatusAccessDenied;
    if (s == StatusSuccess && exists) {
        // The id sequence goes on, so that no block of the old records can
        // name a new one.
        s = simple(conn, ("DROP TABLE " + table).c_str());
        if (s == StatusSuccess) {
            PGresult* r =
                execParams(conn, "DELETE FROM ks3_record_files WHERE name = $1::text", {name}, {25});
            s = statusOf(conn, r);
            PQclear(r);
        }
    }
    if (s == StatusSuccess)
        s = simple(conn, schemaSql(table, sequence, definition).c_str());
    if (s == StatusSuccess) {
        PGresult* r = execParams(
            conn,
            "INSERT INTO ks3_record_files(name, format, version, definition) VALUES($1::text, $2::text, "
            "$3::integer, $4)",
            {name, QByteArray(FormatName), QByteArray::number(FormatVersion), definition.toBytes()},
            {25, 25, 25, ByteaOid});
        s = statusOf(conn, r);
        PQclear(r);
    }
    if (s == StatusSuccess)
        s = simple(conn, "COMMIT");
    else if (!connectionLost(conn))
        simple(conn, "ROLLBACK");
    PQfinish(conn);
    return s;
}

std::int16_t PgRecordFile::open(const std::string& path, std::unique_ptr<RecordFile>& out) {
    out.reset();
    Location at;
    if (!locate(path, at))
        return StatusInvalidFileName;
    std::unique_ptr<PgRecordFile> f(new PgRecordFile);
    f->conninfo_ = at.conninfo;
    f->identity_ = identityOf(path);
    f->table_ = quoted(at.name);
    f->sequence_ = quoted(at.name + "#id");
    if (const std::int16_t s = f->connect(); s != StatusSuccess)
        return s;

    PGresult* r = execParams(
        f->conn_,
        "SELECT definition FROM ks3_record_files WHERE name = $1::text AND format = $2::text "
        "AND version = $3::integer",
        {QByteArray::fromStdString(at.name), QByteArray(FormatName), QByteArray::number(FormatVersion)},
        {25, 25, 25});
    std::int16_t s = statusOf(f->conn_, r);
    const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    const bool noCatalogue = state && std::strcmp(state, "42P01") == 0;
    QByteArray bytes;
    if (s == StatusSuccess && PQntuples(r) == 1)
        bytes = bytesAt(r, 0, 0);
    PQclear(r);
    if (s != StatusSuccess && !noCatalogue)
        return s;
    if (bytes.isNull()) {
        // Not registered: a table of another program, or nothing at all.
        const int exists = tableExists(f->conn_, at.name);
        if (exists < 0)
            return statusOf(f->conn_, nullptr);
        return exists ? StatusNotARecordFile : StatusFileNotFound;
    }
    if (FileDefinition::parse(reinterpret_cast<const unsigned char*>(bytes.constData()),
                              std::size_t(bytes.size()), f->definition_) != StatusSuccess)
        return StatusNotARecordFile;
    if (tableExists(f->conn_, at.name) != 1)
        return StatusNotARecordFile; // registered, but its table is gone
    out = std::move(f);
    return StatusSuccess;
}

std::int16_t PgRecordFile::connect() {
    PQfinish(conn_);
    conn_ = nullptr;
    prepared_.clear();
    return openSession(conninfo_, conn_);
}

std::int16_t PgRecordFile::run(const std::string& name, const std::string& sql, const Params& params,
                               PGresult*& out) {
    out = nullptr;
    // A session lost outside a transaction is opened again once; inside one,
    // what the transaction wrote is gone with it and the caller must know.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (connectionLost(conn_)) {
            if (inTransaction_ || attempt > 0)
                return StatusServerUnreachable;
            if (connect() != StatusSuccess)
                return StatusServerUnreachable;
        }
        if (!prepared_.count(name)) {
            PGresult* p =
                PQprepare(conn_, name.c_str(), sql.c_str(), int(params.types_.size()), params.types_.data());
            const std::int16_t s = statusOf(conn_, p);
            PQclear(p);
            if (s == StatusServerUnreachable && !inTransaction_)
                continue;
            if (s != StatusSuccess)
                return s;
            prepared_.insert(name);
        }
        std::vector<const char*> v;
        std::vector<int> lengths, formats;
        for (const QByteArray& b : params.values_) {
            v.push_back(b.isNull() ? nullptr : b.constData());
            lengths.push_back(int(b.size()));
            formats.push_back(1);
        }
        PGresult* r =
            PQexecPrepared(conn_, name.c_str(), int(v.size()), v.data(), lengths.data(), formats.data(), 1);
        const std::int16_t s = statusOf(conn_, r);
        if (s == StatusServerUnreachable && !inTransaction_ && attempt == 0) {
            // Only a read is run again: a write may have been committed
            // before the session was lost.
            const bool read = name.rfind("f", 0) == 0;
            PQclear(r);
            if (!read)
                return s;
            continue;
        }
        out = r;
        return s;
    }
    return StatusServerUnreachable;
}

std::int16_t PgRecordFile::command(const char* sql) {
    if (connectionLost(conn_))
        return StatusServerUnreachable;
    return simple(conn_, sql);
}

std::int16_t PgRecordFile::write(const std::string& name, const std::string& sql, const Params& params,
                                 PGresult*& out) {
    // Inside a transaction a failed statement would abort the whole of it;
    // a savepoint keeps a refused write (a duplicate key) to itself.
    if (!inTransaction_)
        return run(name, sql, params, out);
    if (const std::int16_t s = command("SAVEPOINT ks3_write"); s != StatusSuccess)
        return s;
    const std::int16_t s = run(name, sql, params, out);
    command(s == StatusSuccess ? "RELEASE SAVEPOINT ks3_write" : "ROLLBACK TO SAVEPOINT ks3_write");
    return s;
}

std::string PgRecordFile::findSql(int key, Seek seek) const {
    const bool dup = definition_.keys[std::size_t(key)].duplicates();
    const std::string k = keyColumn(key), s = seqColumn(key);
    const std::string where = seekCondition(key, seek, "$1", "$2");
    return "SELECT id, version, data, " + k + ", " + (dup ? s : std::string("0::bigint")) + " FROM " +
           table_ + " WHERE " + where;
}

std::int16_t PgRecordFile::find(int key, Seek seek, const QByteArray& sortKey, std::int64_t sequence,
                                Row& row) {
    Params p;
    if (seek != Seek::First && seek != Seek::Last)
        p.bytes(sortKey);
    const bool dup = definition_.keys[std::size_t(key)].duplicates();
    if ((seek == Seek::After || seek == Seek::Before) && dup)
        p.integer(sequence);
    PGresult* r = nullptr;
    std::int16_t s =
        run("f" + std::to_string(key) + "_" + std::to_string(int(seek)), findSql(key, seek), p, r);
    if (s == StatusSuccess) {
        if (PQntuples(r) == 1) {
            row.id = int8At(r, 0, 0);
            row.version = int8At(r, 0, 1);
            row.data = bytesAt(r, 0, 2);
            row.sortKey = bytesAt(r, 0, 3);
            row.sequence = int8At(r, 0, 4);
        } else {
            s = seek == Seek::Equal ? StatusKeyNotFound : StatusEndOfFile;
        }
    }
    PQclear(r);
    return s;
}

std::int16_t PgRecordFile::findRange(int key, const QByteArray& low, const QByteArray& high, std::size_t max,
                                     std::vector<QByteArray>& records) {
    records.clear();
    const bool dup = definition_.keys[std::size_t(key)].duplicates();
    const std::string k = keyColumn(key);
    const std::string sql = "SELECT data FROM " + table_ + " WHERE " + k + " >= $1 AND " + k +
                            " <= $2 ORDER BY " + k + (dup ? ", " + seqColumn(key) : std::string()) +
                            " LIMIT $3";
    Params p;
    p.bytes(low);
    p.bytes(high);
    p.integer(std::int64_t(max) + 1);
    PGresult* r = nullptr;
    std::int16_t s = run("fr" + std::to_string(key), sql, p, r); // a read: run again after a lost session
    if (s == StatusSuccess) {
        const int rows = PQntuples(r);
        for (int i = 0; i < rows && records.size() < max; ++i)
            records.push_back(bytesAt(r, i, 0));
        if (std::size_t(rows) > max)
            s = StatusDataBufferTooShort;
    }
    PQclear(r);
    return s;
}

std::int16_t PgRecordFile::insert(const QByteArray& record, Written& written) {
    const std::vector<QByteArray> sortKeys = sortKeysOf(record);
    const int keys = int(sortKeys.size());
    // One number per record: its id, and its place among equal duplicate
    // keys (later insertions get larger numbers).
    std::string cols = "id, version, data", values = "n.id, 1, $1";
    Params p;
    p.bytes(record);
    int param = 1;
    for (int k = 0; k < keys; ++k) {
        cols += ", " + keyColumn(k);
        values += ", $" + std::to_string(++param);
        p.bytes(sortKeys[std::size_t(k)]);
        if (definition_.keys[std::size_t(k)].duplicates()) {
            cols += ", " + seqColumn(k);
            values += ", n.id";
        }
    }
    const std::string sql = "WITH n AS (SELECT nextval(" + literal(sequence_) + ") AS id) INSERT INTO " +
                            table_ + "(" + cols + ") SELECT " + values + " FROM n RETURNING id";
    PGresult* r = nullptr;
    const std::int16_t s = write("insert", sql, p, r);
    if (s == StatusSuccess && PQntuples(r) == 1) {
        written.id = int8At(r, 0, 0);
        written.version = 1;
        written.sequences.assign(std::size_t(keys), 0);
        for (int k = 0; k < keys; ++k)
            if (definition_.keys[std::size_t(k)].duplicates() && !sortKeys[std::size_t(k)].isNull())
                written.sequences[std::size_t(k)] = written.id;
    }
    PQclear(r);
    return s;
}

std::int16_t PgRecordFile::update(std::int64_t id, std::int64_t version, const QByteArray& record,
                                  Written& written) {
    const std::vector<QByteArray> sortKeys = sortKeysOf(record);
    const int keys = int(sortKeys.size());
    // One statement: the record is written only if nobody changed it since
    // it was read and no key that may not change does; a duplicate key that
    // takes a new value goes after the records that already have it.
    std::string sets = "version = version + 1, data = $3", guard, returning = "version";
    Params p;
    p.integer(id).integer(version).bytes(record);
    int param = 3;
    for (int k = 0; k < keys; ++k) {
        const KeyDef& def = definition_.keys[std::size_t(k)];
        const std::string col = keyColumn(k), value = "$" + std::to_string(++param);
        p.bytes(sortKeys[std::size_t(k)]);
        sets += ", " + col + " = " + value;
        if (def.duplicates()) {
            const std::string seq = seqColumn(k);
            sets += ", " + seq + " = CASE WHEN " + value + "::bytea IS NULL THEN 0 WHEN " + col +
                    " IS NOT DISTINCT FROM " + value + " THEN " + seq + " ELSE nextval(" +
                    literal(sequence_) + ") END";
            returning += ", " + seq;
        }
        if (!def.modifiable())
            guard += " AND " + col + " IS NOT DISTINCT FROM " + value;
    }
    const std::string sql = "UPDATE " + table_ + " SET " + sets + " WHERE id = $1 AND version = $2" + guard +
                            " RETURNING " + returning;
    PGresult* r = nullptr;
    std::int16_t s = write("update", sql, p, r);
    const bool written1 = s == StatusSuccess && PQntuples(r) == 1;
    if (written1) {
        written.id = id;
        written.version = int8At(r, 0, 0);
        written.sequences.assign(std::size_t(keys), 0);
        int col = 0;
        for (int k = 0; k < keys; ++k)
            if (definition_.keys[std::size_t(k)].duplicates())
                written.sequences[std::size_t(k)] = int8At(r, 0, ++col);
    }
    PQclear(r);
    if (s != StatusSuccess || written1)
        return s;

    // Nothing written: the record changed or went (a conflict), or a key
    // that may not change would have.
    Params q;
    q.integer(id).integer(version);
    s = run("unchanged", "SELECT 1 FROM " + table_ + " WHERE id = $1 AND version = $2", q, r);
    if (s == StatusSuccess)
        s = PQntuples(r) == 1 ? StatusKeyNotModifiable : StatusRecordConflict;
    PQclear(r);
    return s;
}

std::int16_t PgRecordFile::remove(std::int64_t id, std::int64_t version) {
    Params p;
    p.integer(id).integer(version);
    PGresult* r = nullptr;
    std::int16_t s = write("delete", "DELETE FROM " + table_ + " WHERE id = $1 AND version = $2", p, r);
    if (s == StatusSuccess && std::strcmp(PQcmdTuples(r), "1") != 0)
        s = StatusRecordConflict;
    PQclear(r);
    return s;
}

std::int16_t PgRecordFile::begin() {
    if (inTransaction_)
        return StatusSuccess;
    if (connectionLost(conn_) && connect() != StatusSuccess)
        return StatusServerUnreachable;
    std::int16_t s = command("BEGIN");
    if (s != StatusSuccess)
        return s;
    // Other writers wait for the end of the transaction, readers do not.
    s = command(("LOCK TABLE " + table_ + " IN SHARE ROW EXCLUSIVE MODE").c_str());
    if (s != StatusSuccess) {
        command("ROLLBACK");
        return s;
    }
    inTransaction_ = true;
    return StatusSuccess;
}

std::int16_t PgRecordFile::commit() {
    if (!inTransaction_)
        return StatusSuccess;
    inTransaction_ = false;
    const std::int16_t s = command("COMMIT");
    if (s != StatusSuccess && !connectionLost(conn_) && PQtransactionStatus(conn_) != PQTRANS_IDLE)
        command("ROLLBACK");
    return s;
}

std::int16_t PgRecordFile::rollback() {
    if (!inTransaction_)
        return StatusSuccess;
    inTransaction_ = false;
    return command("ROLLBACK");
}

} // namespace ks3::btr
