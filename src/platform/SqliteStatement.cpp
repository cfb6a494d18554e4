#include "platform/SqliteStatement.h"

#include <sqlite3.h>
#include <utility>

namespace ks3::btr {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    prepareResult_ = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (prepareResult_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), prepareResult_(other.prepareResult_) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        prepareResult_ = other.prepareResult_;
    }
    return *this;
}

SqliteStatement& SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const QByteArray& blob) {
    if (blob.isNull())
        sqlite3_bind_null(stmt_, index);
    else
        sqlite3_bind_blob(stmt_, index, blob.constData(), int(blob.size()), SQLITE_STATIC);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

int SqliteStatement::step() {
    return sqlite3_step(stmt_);
}

void SqliteStatement::finish() {
    sqlite3_reset(stmt_);
}

std::int64_t SqliteStatement::columnInt(int col) const {
    return sqlite3_column_int64(stmt_, col);
}

bool SqliteStatement::columnIsNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

QByteArray SqliteStatement::columnBlob(int col) const {
    if (columnIsNull(col))
        return QByteArray();
    const void* p = sqlite3_column_blob(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray("");
}

const void* SqliteStatement::columnData(int col) const {
    return sqlite3_column_blob(stmt_, col);
}

int SqliteStatement::columnBytes(int col) const {
    return sqlite3_column_bytes(stmt_, col);
}

} // namespace ks3::btr
