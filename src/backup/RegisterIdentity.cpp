#include "backup/RegisterIdentity.h"

#include <QFile>
#include <QRandomGenerator>
#include <sqlite3.h>

namespace itm {

namespace {

class Handle
{
public:
    Handle(const QString& path, int flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db);
            db = nullptr;
        } else {
            sqlite3_busy_timeout(db, 1000);
        }
    }
    ~Handle() { sqlite3_close_v2(db); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    sqlite3* db = nullptr;
};

quint32 identityOf(sqlite3* db)
{
    sqlite3_stmt* statement = nullptr;
    quint32 identity = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        identity = quint32(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return identity;
}

bool writeIdentity(sqlite3* db, quint32 identity)
{
    // The header's field is a signed 32-bit number.
    const QByteArray sql = "PRAGMA application_id = " + QByteArray::number(qint32(identity));
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK && identityOf(db) == identity;
}

} // namespace

quint32 ReadRegisterIdentity(const QString& databasePath)
{
    if (!QFile::exists(databasePath))
        return 0;
    const Handle handle(databasePath, SQLITE_OPEN_READONLY);
    return handle.db ? identityOf(handle.db) : 0;
}

quint32 EnsureRegisterIdentity(const QString& databasePath)
{
    if (!QFile::exists(databasePath))
        return 0;
    const Handle handle(databasePath, SQLITE_OPEN_READWRITE);
    if (!handle.db)
        return 0;
    if (const quint32 identity = identityOf(handle.db))
        return identity;
    quint32 identity = 0;
    while (identity == 0)
        identity = QRandomGenerator::system()->generate();
    // Another process may have given it one meanwhile: the one stored counts.
    writeIdentity(handle.db, identity);
    return identityOf(handle.db);
}

bool WriteRegisterIdentity(const QString& copyPath, quint32 identity)
{
    const Handle handle(copyPath, SQLITE_OPEN_READWRITE);
    return handle.db && writeIdentity(handle.db, identity);
}

} // namespace itm
