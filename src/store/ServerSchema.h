#pragma once

#include <QStringList>
#include <QtGlobal>

namespace itm {

class Connection;

// The text of data/date.sql, the register's tables as the set-up makes them.
const char* RegisterSetUpSql();

// The statements that make a register on a PostgreSQL server, in order:
// data/date.sql's tables and indexes with the server's types (whole numbers
// of 64 bits, the row key numbered by the server, every text compared byte by
// byte as SQLite does), a payer code unique in the register, the county rows
// and the schema version.
QStringList ServerSchemaStatements();

// The channel on which the server tells every program of the register that
// a colleague saved payers or declarations. The message is the table's name,
// followed by ':' and the keys of the rows saved, separated by commas (a
// payer's id; a declaration's payer's id), while the transaction named at
// most PayerNoticeMostIds of them.
inline constexpr char RegisterChangeChannel[] = "registru";
inline constexpr int PayerNoticeMostIds = 100;

// The register's tables in the order they are made (and copied).
QStringList RegisterTableNames();

// The schema version of a register on a server (the one-row table
// registru_schema), or -1 when the database holds none.
qint64 ServerSchemaVersion(Connection& connection);

enum class ServerInit
{
    Created,
    AlreadyThere,
    NoticeAdded // already there, without the notice of saves, which is added
};

// Makes the register on an empty database, in one transaction; a register
// made before is left as it is, but for the notice of saves to the other
// programs when it lacks it. Raises DatabaseError with a message when the
// database holds tables of the register's names that init did not make.
ServerInit InitServerRegister(Connection& connection);

} // namespace itm
