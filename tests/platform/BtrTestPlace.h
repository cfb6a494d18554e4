#pragma once

#include "support/PgTestDatabase.h"
#include "support/TempDir.h"

#include <QString>
#include <optional>
#include <ostream>

namespace ks3::test {

// The two back-ends of the record manager, chosen by the path of a file.
enum class Backend { Sqlite, Postgres };

inline const char* backendName(Backend b) {
    return b == Backend::Sqlite ? "Sqlite" : "Postgres";
}

inline void PrintTo(Backend b, std::ostream* os) {
    *os << backendName(b);
}

// Where the record files of a test lie: a temporary folder, or a schema of its
// own on the PostgreSQL test server.
class RecordPlace {
public:
    explicit RecordPlace(Backend b) : backend(b) {
        if (b == Backend::Postgres)
            db.emplace();
    }
    // The path of a record file of this place (empty when the place could not
    // be made).
    QString file(const QString& name) const { return db ? db->file(name) : dir.file(name); }
    // Why the place could not be made; empty when it is ready.
    QString error() const { return db ? db->error() : QString(); }

    const Backend backend;
    TempDir dir;
    std::optional<PgTestDatabase> db;
};

} // namespace ks3::test
