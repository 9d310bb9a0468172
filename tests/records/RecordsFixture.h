#pragma once

#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>
#include <sqlite3.h>

namespace itm::test {

// A register as the program wrote it before it kept a history.
inline void MakeRegisterWithoutHistory(const TestDatabase& db)
{
    db.exec("DROP TABLE versiuni_declaratii; DROP TABLE firme_sterse; DROP TABLE declaratii_sterse;"
            "DROP INDEX declaratii_luna; PRAGMA user_version = 0;");
}

// The rows a query gives, each as its columns quoted (quote()) joined by ", ".
inline QStringList QueryRows(const QString& path, const QString& sql)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    QStringList rows;
    if (sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        rows << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(handle));
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
        rows << columns.join(QStringLiteral(", "));
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return rows;
}

inline void AddDeclaration(const TestDatabase& db, int payerId, int month, int year, const QString& amounts)
{
    db.exec(QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                           "comdat, comac, comdec, comdecac) VALUES (%1, %2, %3, %4)")
                .arg(payerId)
                .arg(month)
                .arg(year)
                .arg(amounts)
                .toUtf8());
}

} // namespace itm::test
