#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <stdexcept>

namespace itm::test {

// A fresh database built from the shipped schema and counties, in a temporary
// folder that disappears with the object.
class TestDatabase
{
public:
    TestDatabase()
    {
        QFile schema(QStringLiteral(ITM_SOURCE_DIR "/data/date.sql"));
        if (!schema.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read data/date.sql");
        exec(schema.readAll());
    }
    QString path() const { return m_dir.filePath(QStringLiteral("date.itm")); }
    QString folder() const { return m_dir.path(); }

    void exec(const QByteArray& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        // The program may be reading the register in the background just now.
        sqlite3_busy_timeout(db, 5000);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw std::runtime_error(message);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace itm::test
