#include "platform/BtrSqliteRecordFile.h"

#include "platform/Btrcall.h"
#include "platform/PlatformHost.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace ks3::btr {

namespace {

// "K3BT" in the database header: tells our files from other SQLite databases
// without running a query.
constexpr std::uint32_t ApplicationId = 0x4B334254;
constexpr int FormatVersion = 1;
constexpr const char* FormatName = "KS3 record file";

// Another writer is waited for this long, in steps, before the caller gets
// StatusFileLocked and applies its own retry rule.
constexpr int BusyStepMs = 10;
constexpr int BusyLimitMs = 150;

int busyWait(void*, int count) {
    if ((count + 1) * BusyStepMs > BusyLimitMs)
        return 0;
    ks3::platformHost().sleep(BusyStepMs);
    return 1;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// SQLite's write-ahead log needs memory shared between the processes of one
// computer; on a network share it would not be shared with the other
// computers, so files there use the rollback journal.
bool onNetworkFileSystem(const std::string& folder) {
    struct statfs fs {};
    if (statfs(folder.c_str(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and the like)
    case 0x73757245UL: // Coda
    case 0x47504653UL: // GPFS
    case 0x0BD00BD0UL: // Lustre
        return true;
    default:
        return false;
    }
}

void fsyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::int16_t statusOfErrno(int e, std::int16_t otherwise) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return StatusFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return StatusAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return StatusDiskFull;
    case ENAMETOOLONG:
        return StatusInvalidFileName;
    default:
        return otherwise;
    }
}

int execSql(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// Tables and indexes of a file with this definition. Ids are never reused
// (AUTOINCREMENT): a position block names its record by id and version.
std::string schemaSql(const FileDefinition& definition) {
    std::string sql = "CREATE TABLE records(id INTEGER PRIMARY KEY AUTOINCREMENT, version INTEGER NOT NULL, "
                      "data BLOB NOT NULL";
    for (int k = 0; k < int(definition.keys.size()); ++k) {
        sql += ", " + keyColumn(k) + " BLOB";
        if (definition.keys[std::size_t(k)].duplicates())
            sql += ", " + seqColumn(k) + " INTEGER";
    }
    sql += ");";
    for (int k = 0; k < int(definition.keys.size()); ++k) {
        if (definition.keys[std::size_t(k)].duplicates())
            sql += "CREATE INDEX records_" + keyColumn(k) + " ON records(" + keyColumn(k) + ", " +
                   seqColumn(k) + ");";
        else
            sql += "CREATE UNIQUE INDEX records_" + keyColumn(k) + " ON records(" + keyColumn(k) + ");";
    }
    return sql;
}

int writeDescription(sqlite3* db, const FileDefinition& definition) {
    SqliteStatement st(db, "INSERT INTO ks3_record_file(format, version, definition) VALUES(?1, ?2, ?3)");
    const QByteArray format(FormatName);
    const QByteArray bytes = definition.toBytes();
    st.reset().bind(1, format).bind(2, std::int64_t(FormatVersion)).bind(3, bytes);
    const int rc = st.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Reads the database header: is this a SQLite database of ours?
std::int16_t checkHeader(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return statusOfErrno(errno, StatusIoError);
    unsigned char h[100];
    const ssize_t n = ::read(fd, h, sizeof h);
    ::close(fd);
    if (n != ssize_t(sizeof h) || std::memcmp(h, "SQLite format 3", 16) != 0)
        return StatusNotARecordFile;
    const std::uint32_t app = (std::uint32_t(h[68]) << 24) | (std::uint32_t(h[69]) << 16) |
                              (std::uint32_t(h[70]) << 8) | std::uint32_t(h[71]);
    return app == ApplicationId ? StatusSuccess : StatusNotARecordFile;
}

std::string fileIdentity(const struct stat& st) {
    return "file:" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

void configure(sqlite3* db) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, busyWait, nullptr);
    // Every commit reaches the disk before the call returns.
    execSql(db, "PRAGMA synchronous=FULL");
    // Up to 16 MB of pages kept between reads (2 MB by default): a run reads
    // a station's whole conversion history (some 10 MB for 10 000 files) at
    // every pass.
    execSql(db, "PRAGMA cache_size=-16384");
}

} // namespace

SqliteRecordFile::~SqliteRecordFile() {
    if (inTransaction_)
        rollback();
    // Statements go before the connection they belong to.
    begin_ = SqliteStatement();
    commit_ = SqliteStatement();
    rollback_ = SqliteStatement();
    insert_ = SqliteStatement();
    readKeys_ = SqliteStatement();
    update_ = SqliteStatement();
    delete_ = SqliteStatement();
    lastSequence_.clear();
    find_.clear();
    sqlite3_close_v2(db_);
}

std::int16_t SqliteRecordFile::statusOf(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return StatusSuccess;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StatusFileLocked;
    case SQLITE_CONSTRAINT:
        return StatusDuplicateKey;
    case SQLITE_FULL:
        return StatusDiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StatusAccessDenied;
    case SQLITE_NOTADB:
        return StatusNotARecordFile;
    case SQLITE_CANTOPEN:
        return StatusFileNotFound;
    default:
        return StatusIoError;
    }
}

std::int16_t SqliteRecordFile::create(const std::string& path, const FileDefinition& definition,
                                      bool replace) {
    if (path.empty())
        return StatusInvalidFileName;
    const std::string folder = folderOf(path);
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // An empty file holds nothing yet: it is taken as no file.
    if (exists && !replace && !(S_ISREG(st.st_mode) && st.st_size == 0))
        return StatusFileExists;
    if (exists && !S_ISREG(st.st_mode))
        return StatusCreateIoError;

    if (exists && checkHeader(path) == StatusSuccess) {
        // One of ours: emptied and redefined in one transaction, so that a
        // failure leaves the old file as it was.
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            configure(db);
            rc = execSql(db, "BEGIN IMMEDIATE");
            if (rc == SQLITE_OK) {
                // The id sequence goes on, so that no block of the old
                // records can name a new one.
                rc = execSql(db, "DROP TABLE IF EXISTS records; DELETE FROM ks3_record_file;" +
                                     schemaSql(definition));
                if (rc == SQLITE_OK)
                    rc = writeDescription(db, definition);
                if (rc == SQLITE_OK)
                    rc = execSql(db, "COMMIT");
                if (rc != SQLITE_OK)
                    execSql(db, "ROLLBACK");
            }
        }
        sqlite3_close_v2(db);
        return rc == SQLITE_OK ? std::int16_t(StatusSuccess) : statusOf(rc);
    }

    // A new file is built under a temporary name in the same folder and
    // linked to its name once complete: other processes see it whole or not
    // at all.
    std::string temp = folder + "/." + nameOf(path) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return statusOfErrno(errno, StatusCreateIoError);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask); // shared with the suite's other programs
    ::close(fd);

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        configure(db);
        rc =
            execSql(db, "PRAGMA page_size=4096; PRAGMA application_id=" + std::to_string(ApplicationId) +
                            "; PRAGMA user_version=" + std::to_string(FormatVersion) +
                            "; BEGIN; CREATE TABLE ks3_record_file(format TEXT NOT NULL, version INTEGER NOT "
                            "NULL, definition BLOB NOT NULL);" +
                            schemaSql(definition));
        if (rc == SQLITE_OK)
            rc = writeDescription(db, definition);
        if (rc == SQLITE_OK)
            rc = execSql(db, "COMMIT");
        if (rc == SQLITE_OK && !onNetworkFileSystem(folder))
            rc = execSql(db, "PRAGMA journal_mode=WAL");
    }
    const int closed = sqlite3_close_v2(db);
    if (rc == SQLITE_OK && closed != SQLITE_OK)
        rc = closed;
    std::int16_t status = rc == SQLITE_OK ? std::int16_t(StatusSuccess) : statusOf(rc);
    if (status == StatusSuccess) {
        if (exists) {
            // A file that is not a record file is replaced; journals left
            // beside it would otherwise be taken for the new file's.
            for (const char* suffix : {"-wal", "-shm", "-journal"})
                ::unlink((path + suffix).c_str());
            if (::rename(temp.c_str(), path.c_str()) != 0)
                status = statusOfErrno(errno, StatusCreateIoError);
        } else if (::link(temp.c_str(), path.c_str()) != 0) {
            // Another process created it meanwhile: its file stands.
            status =
                errno == EEXIST ? std::int16_t(StatusFileExists) : statusOfErrno(errno, StatusCreateIoError);
        }
    }
    ::unlink(temp.c_str());
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        ::unlink((temp + suffix).c_str());
    if (status == StatusSuccess)
        fsyncFolder(folder);
    return status;
}

std::string SqliteRecordFile::identityOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? fileIdentity(st) : std::string();
}

std::int16_t SqliteRecordFile::open(const std::string& path, std::unique_ptr<RecordFile>& out) {
    out.reset();
    if (path.empty())
        return StatusInvalidFileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return statusOfErrno(errno, StatusIoError);
    if (!S_ISREG(st.st_mode))
        return StatusNotARecordFile;
    if (st.st_size == 0) // nothing written there yet
        return StatusFileNotFound;
    if (const std::int16_t h = checkHeader(path); h != StatusSuccess)
        return h;

    std::unique_ptr<SqliteRecordFile> f(new SqliteRecordFile);
    f->identity_ = fileIdentity(st);
    const int rc =
        sqlite3_open_v2(path.c_str(), &f->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        return statusOf(rc);
    configure(f->db_);
    if (onNetworkFileSystem(folderOf(path)))
        execSql(f->db_, "PRAGMA journal_mode=DELETE"); // refused while another process has it in WAL
    if (const std::int16_t s = f->loadDefinition(); s != StatusSuccess)
        return s;
    f->prepareStatements();
    if (!f->insert_.valid() || !f->update_.valid())
        return StatusNotARecordFile;
    out = std::move(f);
    return StatusSuccess;
}

std::int16_t SqliteRecordFile::loadDefinition() {
    SqliteStatement st(db_, "SELECT definition FROM ks3_record_file WHERE format = ?1 AND version = ?2");
    if (!st.valid()) // no description table: a database of some other program
        return (st.prepareResult() & 0xFF) == SQLITE_ERROR ? std::int16_t(StatusNotARecordFile)
                                                           : statusOf(st.prepareResult());
    const QByteArray format(FormatName);
    st.reset().bind(1, format).bind(2, std::int64_t(FormatVersion));
    const int rc = st.step();
    if (rc != SQLITE_ROW) {
        st.finish();
        return rc == SQLITE_DONE ? std::int16_t(StatusNotARecordFile) : statusOf(rc);
    }
    const QByteArray bytes = st.columnBlob(0);
    st.finish();
    const std::int16_t s = FileDefinition::parse(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                                 std::size_t(bytes.size()), definition_);
    return s == StatusSuccess ? StatusSuccess : StatusNotARecordFile;
}

void SqliteRecordFile::prepareStatements() {
    begin_ = SqliteStatement(db_, "BEGIN IMMEDIATE");
    commit_ = SqliteStatement(db_, "COMMIT");
    rollback_ = SqliteStatement(db_, "ROLLBACK");

    const int keys = int(definition_.keys.size());
    std::string cols = "version, data", values = "1, ?1", sets = "version = ?1, data = ?2",
                readCols = "version";
    int param = 1;
    for (int k = 0; k < keys; ++k) {
        const bool dup = definition_.keys[std::size_t(k)].duplicates();
        cols += ", " + keyColumn(k);
        values += ", ?" + std::to_string(++param);
        readCols += ", " + keyColumn(k);
        if (dup) {
            cols += ", " + seqColumn(k);
            values += ", ?" + std::to_string(++param);
            readCols += ", " + seqColumn(k);
        }
    }
    insert_ = SqliteStatement(db_, ("INSERT INTO records(" + cols + ") VALUES(" + values + ")").c_str());
    readKeys_ = SqliteStatement(db_, ("SELECT " + readCols + " FROM records WHERE id = ?1").c_str());
    param = 2;
    for (int k = 0; k < keys; ++k) {
        sets += ", " + keyColumn(k) + " = ?" + std::to_string(++param);
        if (definition_.keys[std::size_t(k)].duplicates())
            sets += ", " + seqColumn(k) + " = ?" + std::to_string(++param);
    }
    update_ =
        SqliteStatement(db_, ("UPDATE records SET " + sets + " WHERE id = ?" + std::to_string(param + 1) +
                              " AND version = ?" + std::to_string(param + 2))
                                 .c_str());
    delete_ = SqliteStatement(db_, "DELETE FROM records WHERE id = ?1 AND version = ?2");

    lastSequence_.resize(std::size_t(keys));
    find_.resize(std::size_t(keys));
    for (int k = 0; k < keys; ++k)
        if (definition_.keys[std::size_t(k)].duplicates())
            lastSequence_[std::size_t(k)] =
                SqliteStatement(db_, ("SELECT " + seqColumn(k) + " FROM records WHERE " + keyColumn(k) +
                                      " = ?1 ORDER BY " + seqColumn(k) + " DESC LIMIT 1")
                                         .c_str());
}

SqliteStatement& SqliteRecordFile::findStatement(int key, Seek seek) {
    SqliteStatement& st = find_[std::size_t(key)][std::size_t(seek)];
    if (st.valid())
        return st;
    const bool dup = definition_.keys[std::size_t(key)].duplicates();
    const std::string k = keyColumn(key), s = seqColumn(key);
    const std::string where = seekCondition(key, seek, "?1", "?2");
    const std::string sql = "SELECT id, version, data, " + k + ", " + (dup ? s : std::string("0")) +
                            " FROM records WHERE " + where;
    st = SqliteStatement(db_, sql.c_str());
    return st;
}

std::int16_t SqliteRecordFile::find(int key, Seek seek, const QByteArray& sortKey, std::int64_t sequence,
                                    Row& row) {
    SqliteStatement& st = findStatement(key, seek);
    if (!st.valid())
        return statusOf(st.prepareResult());
    st.reset();
    if (seek != Seek::First && seek != Seek::Last)
        st.bind(1, sortKey);
    if (seek == Seek::After || seek == Seek::Before)
        st.bind(2, sequence);
    const int rc = st.step();
    std::int16_t status;
    if (rc == SQLITE_ROW) {
        row.id = st.columnInt(0);
        row.version = st.columnInt(1);
        row.data = st.columnBlob(2);
        row.sortKey = st.columnBlob(3);
        row.sequence = st.columnInt(4);
        status = StatusSuccess;
    } else if (rc == SQLITE_DONE) {
        status = seek == Seek::Equal ? StatusKeyNotFound : StatusEndOfFile;
    } else {
        status = statusOf(rc);
    }
    st.finish();
    return status;
}

std::int16_t SqliteRecordFile::findRange(int key, const QByteArray& low, const QByteArray& high,
                                         std::size_t max, std::vector<QByteArray>& records) {
    records.clear();
    if (range_.size() != definition_.keys.size())
        range_.resize(definition_.keys.size());
    SqliteStatement& st = range_[std::size_t(key)];
    if (!st.valid()) {
        const bool dup = definition_.keys[std::size_t(key)].duplicates();
        const std::string k = keyColumn(key);
        const std::string sql = "SELECT data FROM records WHERE " + k + " >= ?1 AND " + k +
                                " <= ?2 ORDER BY " + k + (dup ? ", " + seqColumn(key) : std::string()) +
                                " LIMIT ?3";
        st = SqliteStatement(db_, sql.c_str());
        if (!st.valid())
            return statusOf(st.prepareResult());
    }
    st.reset();
    st.bind(1, low);
    st.bind(2, high);
    st.bind(3, std::int64_t(max) + 1);
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        if (records.size() == max) {
            st.finish();
            return StatusDataBufferTooShort;
        }
        records.push_back(st.columnBlob(0));
    }
    st.finish();
    return rc == SQLITE_DONE ? std::int16_t(StatusSuccess) : statusOf(rc);
}

std::int64_t SqliteRecordFile::nextSequence(int key, const QByteArray& sortKey, std::int16_t& status) {
    SqliteStatement& st = lastSequence_[std::size_t(key)];
    st.reset().bind(1, sortKey);
    const int rc = st.step();
    std::int64_t next = 1;
    if (rc == SQLITE_ROW)
        next = st.columnInt(0) + 1;
    else if (rc != SQLITE_DONE)
        status = statusOf(rc);
    st.finish();
    return next;
}

std::int16_t SqliteRecordFile::exec(SqliteStatement& st) {
    const int rc = st.step();
    st.finish();
    return statusOf(rc);
}

std::int16_t SqliteRecordFile::beginWrite() {
    return inTransaction_ ? std::int16_t(StatusSuccess) : exec(begin_.reset());
}

std::int16_t SqliteRecordFile::endWrite(std::int16_t status) {
    if (inTransaction_)
        return status;
    if (status == StatusSuccess) {
        const std::int16_t c = exec(commit_.reset());
        if (c == StatusSuccess)
            return StatusSuccess;
        status = c;
    }
    if (sqlite3_get_autocommit(db_) == 0)
        exec(rollback_.reset());
    return status;
}

std::int16_t SqliteRecordFile::insert(const QByteArray& record, Written& written) {
    const int keys = int(definition_.keys.size());
    const std::vector<QByteArray> sortKeys = sortKeysOf(record);
    std::int16_t status = beginWrite();
    if (status != StatusSuccess)
        return status;
    written.sequences.assign(std::size_t(keys), 0);
    for (int k = 0; k < keys && status == StatusSuccess; ++k)
        if (definition_.keys[std::size_t(k)].duplicates() && !sortKeys[std::size_t(k)].isNull())
            written.sequences[std::size_t(k)] = nextSequence(k, sortKeys[std::size_t(k)], status);
    if (status == StatusSuccess) {
        insert_.reset().bind(1, record);
        int param = 1;
        for (int k = 0; k < keys; ++k) {
            insert_.bind(++param, sortKeys[std::size_t(k)]);
            if (definition_.keys[std::size_t(k)].duplicates())
                insert_.bind(++param, written.sequences[std::size_t(k)]);
        }
        status = exec(insert_);
        written.id = sqlite3_last_insert_rowid(db_);
        written.version = 1;
    }
    return endWrite(status);
}

std::int16_t SqliteRecordFile::update(std::int64_t id, std::int64_t version, const QByteArray& record,
                                      Written& written) {
    const int keys = int(definition_.keys.size());
    const std::vector<QByteArray> sortKeys = sortKeysOf(record);
    std::int16_t status = beginWrite();
    if (status != StatusSuccess)
        return status;

    // The record as it is now: gone or changed means another user got there
    // first.
    written.sequences.assign(std::size_t(keys), 0);
    std::vector<bool> keyChanged(std::size_t(keys), false);
    readKeys_.reset().bind(1, id);
    int rc = readKeys_.step();
    if (rc != SQLITE_ROW || readKeys_.columnInt(0) != version) {
        status = rc == SQLITE_ROW || rc == SQLITE_DONE ? std::int16_t(StatusRecordConflict) : statusOf(rc);
    } else {
        int col = 0;
        for (int k = 0; k < keys; ++k) {
            const KeyDef& def = definition_.keys[std::size_t(k)];
            const QByteArray old = readKeys_.columnBlob(++col);
            keyChanged[std::size_t(k)] =
                old != sortKeys[std::size_t(k)] || old.isNull() != sortKeys[std::size_t(k)].isNull();
            if (keyChanged[std::size_t(k)] && !def.modifiable())
                status = StatusKeyNotModifiable;
            if (def.duplicates())
                written.sequences[std::size_t(k)] = readKeys_.columnInt(++col);
        }
    }
    readKeys_.finish();

    // A duplicate key that takes a new value goes after the records that
    // already have it, as a new insertion would.
    for (int k = 0; k < keys && status == StatusSuccess; ++k)
        if (keyChanged[std::size_t(k)] && definition_.keys[std::size_t(k)].duplicates())
            written.sequences[std::size_t(k)] =
                sortKeys[std::size_t(k)].isNull() ? 0 : nextSequence(k, sortKeys[std::size_t(k)], status);
    if (status == StatusSuccess) {
        update_.reset().bind(1, version + 1).bind(2, record);
        int param = 2;
        for (int k = 0; k < keys; ++k) {
            update_.bind(++param, sortKeys[std::size_t(k)]);
            if (definition_.keys[std::size_t(k)].duplicates())
                update_.bind(++param, written.sequences[std::size_t(k)]);
        }
        update_.bind(param + 1, id).bind(param + 2, version);
        status = exec(update_);
        if (status == StatusSuccess && sqlite3_changes(db_) != 1)
            status = StatusRecordConflict;
        written.id = id;
        written.version = version + 1;
    }
    return endWrite(status);
}

std::int16_t SqliteRecordFile::remove(std::int64_t id, std::int64_t version) {
    std::int16_t status = beginWrite();
    if (status != StatusSuccess)
        return status;
    delete_.reset().bind(1, id).bind(2, version);
    status = exec(delete_);
    if (status == StatusSuccess && sqlite3_changes(db_) != 1)
        status = StatusRecordConflict;
    return endWrite(status);
}

std::int16_t SqliteRecordFile::begin() {
    if (inTransaction_)
        return StatusSuccess;
    const std::int16_t s = exec(begin_.reset());
    inTransaction_ = s == StatusSuccess;
    return s;
}

std::int16_t SqliteRecordFile::commit() {
    if (!inTransaction_)
        return StatusSuccess;
    inTransaction_ = false;
    const std::int16_t s = exec(commit_.reset());
    if (s != StatusSuccess && sqlite3_get_autocommit(db_) == 0)
        exec(rollback_.reset());
    return s;
}

std::int16_t SqliteRecordFile::rollback() {
    if (!inTransaction_)
        return StatusSuccess;
    inTransaction_ = false;
    if (sqlite3_get_autocommit(db_) != 0)
        return StatusSuccess;
    return exec(rollback_.reset());
}

} // namespace ks3::btr
