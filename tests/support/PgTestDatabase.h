#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdlib>
#include <libpq-fe.h>
#include <random>
#include <unistd.h>

namespace ks3::test {

// A schema of its own on the PostgreSQL test server, so that the record files
// a test creates there meet no other test's. The server is the one
// scripts/pg-cluster.sh starts for scripts/test.sh, named by KS3_TEST_PG_URL;
// without it error() says so and the test fails.
class PgTestDatabase {
public:
    static constexpr const char* UrlVariable = "KS3_TEST_PG_URL";

    PgTestDatabase() {
        const char* base = std::getenv(UrlVariable);
        if (!base || !*base) {
            error_ = QStringLiteral("%1 is not set: the PostgreSQL tests need the test server that "
                                    "scripts/test.sh starts (scripts/pg-cluster.sh start DIR, then export "
                                    "%1=\"$(cat DIR/url)\")")
                         .arg(QLatin1String(UrlVariable));
            return;
        }
        static std::atomic<int> counter{0};
        std::random_device random;
        schema_ = QStringLiteral("t%1_%2_%3").arg(::getpid()).arg(++counter).arg(random() % 1000000);
        server_ = QString::fromUtf8(base);
        const QString error = exec(server_, QStringLiteral("CREATE SCHEMA ") + schema_);
        if (!error.isEmpty()) {
            error_ = QStringLiteral("PostgreSQL test server at %1: %2").arg(server_, error);
            return;
        }
        url_ = server_ + (server_.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
               QStringLiteral("options=-csearch_path%3D") + schema_;
    }

    // Empty when the schema is ready.
    const QString& error() const { return error_; }
    // The database URL of the schema: a data folder of the suite's configuration.
    const QString& url() const { return url_; }
    // The path of a record file there.
    QString file(const QString& name) const {
        return url_.isEmpty() ? QString() : url_ + QLatin1Char('/') + name;
    }
    // Runs SQL in the schema; returns the first value of the first row (empty
    // when none), or "error: ..." when it fails.
    QByteArray query(const QString& sql) const {
        QByteArray value;
        const QString error = exec(url_, sql, &value);
        return error.isEmpty() ? value : "error: " + error.toUtf8();
    }

private:
    static QString exec(const QString& url, const QString& sql, QByteArray* value = nullptr) {
        PGconn* conn = PQconnectdb(url.toUtf8().constData());
        QString error;
        if (PQstatus(conn) != CONNECTION_OK) {
            error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        } else {
            PGresult* r = PQexec(conn, sql.toUtf8().constData());
            const ExecStatusType s = PQresultStatus(r);
            if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
                error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
            else if (value && s == PGRES_TUPLES_OK && PQntuples(r) > 0)
                *value = QByteArray(PQgetvalue(r, 0, 0));
            PQclear(r);
        }
        PQfinish(conn);
        return error;
    }

    QString server_, schema_, url_, error_;
};

} // namespace ks3::test
