#pragma once

#include "records/PayerHistory.h"
#include "store/RecordReader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace itm {

class Connection;

// One line of a payer's statement, as its window and its printed pages show
// it: a month of the history, one of the kept versions of a month that was
// changed (after the month, oldest first), or the totals of a year (after
// its last month).
struct StatementLine
{
    enum Kind
    {
        Month,
        Version,
        YearTotal
    };
    Kind kind = Month;
    // Month: the history row. Version: the version's own status, rate,
    // employees, fund and amounts, with the month it belongs to (no balance).
    // YearTotal: the year, its due and paid, the balance at its end.
    HistoryRow row;
    qint64 version = 0; // Version: its number, as itm-cli line --version takes it
    QString saved; // Version: when it was saved; empty for one saved before versions were kept
};

struct PayerStatement
{
    QString code;
    QString name; // the composed legal name
    QList<StatementLine> lines;
    qint64 balance = 0; // owed today
    // "03/2005 - 12/2010", or empty without declarations.
    QString periodText() const;
};

// The payer's statement: its history with the running balance, the totals of
// each year (the December 2005 amounts count with 2006, as they were
// declared then) and, where the register keeps versions, each version of a
// month saved more than once. Raises ConversionError as ReadPayerHistory.
PayerStatement ReadPayerStatement(Connection& connection, qint64 payerId, std::optional<qint64> fromYear = std::nullopt,
    std::optional<qint64> toYear = std::nullopt);

// The columns of the statement: titles, and whether a column holds amounts
// (aligned to the right).
const QStringList& StatementColumnTitles();
bool IsStatementAmountColumn(int column);
// The texts of a line, one per column.
QStringList StatementCells(const StatementLine& line);

// The history as `itm-cli history --format csv` writes it: the header
// an,luna,stare,procent,nrsal,fondlunsal,comdat,comac,diferenta,sold and a
// line per row, LF line ends.
QString HistoryCsvText(const PayerHistory& history);
const QStringList& HistoryCsvHeader();
QStringList HistoryCsvCells(const HistoryRow& row);

// Version number of the declaration declarationId of payer payerId, as kept
// in the register's history: its columns (those of a declaration), or none
// when there is no such version or the register keeps none.
std::optional<RowRecord> ReadDeclarationVersion(
    Connection& connection, qint64 payerId, qint64 declarationId, qint64 version);

// The version numbers kept for a declaration, oldest first.
QList<qint64> DeclarationVersionNumbers(Connection& connection, qint64 payerId, qint64 declarationId);

} // namespace itm
