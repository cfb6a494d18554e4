#pragma once

#include <QByteArray>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace ks3::btr {

// A prepared statement kept for the life of its database connection: reset
// and rebound for every use, so the record manager parses each query once.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;

    bool valid() const { return stmt_ != nullptr; }
    // Result code of preparing (SQLITE_OK when valid).
    int prepareResult() const { return prepareResult_; }

    // Clears the bindings and the previous run; call before binding.
    SqliteStatement& reset();
    // Parameters are numbered from 1. A null QByteArray binds NULL; the bytes
    // must stay alive until the statement is reset.
    SqliteStatement& bind(int index, const QByteArray& blob);
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bindNull(int index);

    // One step: SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Ends the run (keeps the bindings). A statement left on a row would keep
    // its read transaction, and with it other writers' checkpoints, waiting.
    void finish();

    std::int64_t columnInt(int col) const;
    bool columnIsNull(int col) const;
    // Copies the column's bytes (a null QByteArray for NULL).
    QByteArray columnBlob(int col) const;
    const void* columnData(int col) const;
    int columnBytes(int col) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareResult_ = 0;
};

} // namespace ks3::btr
