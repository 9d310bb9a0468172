#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <sqlite3.h>

// A database made the way the set-up makes the shipped one (data/date.sql),
// then filled with the rows a test needs. Built with SQLite itself, so the
// test does not depend on the code it checks.
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

// A payer row with every column; texts as the before-post rule stores them.
inline QByteArray payerRow(int id, const char* cui, const char* denumire, bool bankrupt = false)
{
    const QByteArray liquidator = bankrupt
        ? QByteArray("1, '1900101000006', 'LICHIDATOR SPRL', '12', 'CLUJ-NAPOCA', 0, 'HOREA', 'F.N.', 'B1', 'A', '7', "
                     "'400001', 'lichidator@ex.ro', '0264111222', 5, 3, 2004")
        : QByteArray("0, '0', ' ', ' ', ' ', 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0, 0, 0");
    return "INSERT INTO firme (id, cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, scara, ap, "
           "codpostal, telefon, email, banca, cont, numerep, prenumerep, funcrep, faliment, lcui, ldenumire, "
           "lcodjudet, lloc, lsector, lstr, lnr, lbloc, lscara, lap, lcodpostal, lemail, ltelefon, lzi, lln, lan) "
           "VALUES ("
        + QByteArray::number(id) + ", '" + cui + "', 1, '" + denumire
        + "', 1, '40', 'BUCURESTI', 3, 'VICTORIEI', '10', ' ', ' ', ' ', '010101', '0211234567', 'office@alfa.ro', "
          "'BCR', 'RO49AAAA1B31007593840000', 'POPESCU', 'ION', 'ADMINISTRATOR', "
        + liquidator + ");\n";
}

inline QByteArray declarationRow(int idfirma, int month, int year, const char* amounts = "0, 0, 12, 2000, 15, 15, 0, 0")
{
    return "INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
           "comdecac) VALUES ("
        + QByteArray::number(idfirma) + ", " + QByteArray::number(month) + ", " + QByteArray::number(year) + ", "
        + amounts + ");\n";
}

} // namespace clitest
