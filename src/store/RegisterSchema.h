#pragma once

#include <QStringList>
#include <QtGlobal>

namespace itm {

class Connection;

// The schema version (SQLite's user_version) of the registers this program
// writes: 0 is the register of the payers, declarations and counties alone,
// 1 adds the register's history (the versions of each declaration and the
// deleted payers), 2 an index of the declarations by period (a month's
// declarations read without a pass over every year's). A newer one was
// written by a later version of the program.
inline constexpr qint64 KnownSchemaVersion = 2;

// The history's tables and indexes, created only where missing, in the order
// they are created. Additive: the payer, declaration and county tables are
// never changed, so a program that does not know the history still reads
// and writes the register.
const QStringList& HistorySchemaStatements();
const QStringList& HistoryTableNames();
const QStringList& HistoryIndexNames();
// The columns each history table must have, by table name.
QStringList HistoryTableColumns(const QString& table);

// The register's user_version.
qint64 SchemaVersion(Connection& connection);

// Whether the register keeps a history this program knows how to write: its
// version is one this program knows and every history table is there with
// its columns.
bool HasKnownHistory(Connection& connection);

// Whether any of the history's tables is there (whole or not).
bool HasAnyHistoryTable(Connection& connection);

} // namespace itm
