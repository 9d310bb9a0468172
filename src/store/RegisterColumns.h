#pragma once

#include <QString>
#include <QStringList>

namespace itm {

// The columns of the register's tables, in table order, without the row key
// (id): what a whole payer or declaration row is written with.
const QStringList& PayerColumns();
const QStringList& DeclarationColumns();

// The liquidator's text columns of a payer (the code lcui and the sector
// lsector aside): cleared together when the payer is not in bankruptcy.
const QStringList& LiquidatorTextColumns();

// Whether a column of the payer, declaration or county table holds whole
// numbers; fondlunsal is the one real-number column.
bool IsIntegerColumn(const QString& column);

// "INSERT INTO table (a, b) VALUES (:a, :b)".
QString InsertStatement(const QString& table, const QStringList& columns);
// "UPDATE table SET a = :a, b = :b WHERE (id = :OLD_id)".
QString UpdateStatement(const QString& table, const QStringList& columns);

} // namespace itm
