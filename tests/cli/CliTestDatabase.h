#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <sqlite3.h>

// A database made the way the set-up makes the shipped one (data/date.sql),
// then filled with the rows a test needs (support/SampleRecords.h). Made with
// SQLite itself, so that the test does not depend on the code it checks.
namespace clitest {

inline bool execute(sqlite3* db, const QByteArray& sql, QString* error = nullptr)
{
    char* message = nullptr;
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok && error)
        *error = QString::fromUtf8(message);
    sqlite3_free(message);
    return ok;
}

inline bool createDatabase(const QString& path, const QByteArray& rows, QString* error = nullptr)
{
    QFile schema(QStringLiteral(ITM_SOURCE_DIR "/data/date.sql"));
    if (!schema.open(QIODevice::ReadOnly)) {
        if (error)
            *error = schema.errorString();
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    const bool ok = execute(db, schema.readAll(), error) && execute(db, rows, error);
    sqlite3_close(db);
    return ok;
}

} // namespace clitest
