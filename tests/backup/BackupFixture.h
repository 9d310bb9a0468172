#pragma once

#include "support/TestDatabase.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>

namespace itm::test {

// A database from the shipped schema with count payers, each with one declaration.
inline void fillRegister(const TestDatabase& database, int count)
{
    database.exec(QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ")
        + QByteArray::number(count)
        + ") INSERT INTO firme (cui, prefix, denumire, sufix, codjudet, loc, sector, faliment, lcui, lzi, lln, lan) "
          "SELECT printf('%d', 1000000 + i), 1, printf('FIRMA %06d', i), 1, '16', 'CRAIOVA', 0, 0, '0', 0, 0, 0 "
          "FROM n;"
          "INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, "
          "comdecac) SELECT id, 3, 2006, 0, 0, 10, 20000, 150, 150, 0, 0 FROM firme;");
}

inline QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// Overwrites a run of bytes in the middle of the file, as a failing disk does.
inline bool damageFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    file.seek(file.size() / 2);
    return file.write(QByteArray(8192, '\x5a')) == 8192;
}

} // namespace itm::test
