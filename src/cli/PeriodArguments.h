#pragma once

#include "cli/CliDatabase.h"

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

namespace itm::cli {

// The options shared by the commands that work on one declaration period:
// --month M --year Y [--cui CODE] [--db FILE] [--to DIR].
struct PeriodArguments
{
    qint64 month = 0;
    qint64 year = 0;
    std::optional<QString> cui;
    QString db; // --db, or DefaultDatabasePath()
    std::optional<QString> to;
};

enum class PeriodOption
{
    Cui = 1,
    To = 2
};

// Parses arguments; month and year are required whole numbers (1..12,
// 1..9999), as are the options named in required. Anything wrong is written
// to err after the command's name and gives an empty result.
std::optional<PeriodArguments> ParsePeriodArguments(
    const QString& command, const QStringList& arguments, int required, QTextStream& err);

// The payer with code cui and its declaration for the period; when either is
// missing, a message naming what is missing goes to err.
std::optional<DeclaredPayer> FindDeclaredPayer(const CliDatabase& database, const QString& command, const QString& cui,
    qint64 month, qint64 year, QTextStream& err);

// The declarations a command works on: the one of --cui, or every declaration
// of the period in payer-code order. Nothing found gives an empty result and a
// message on err.
std::optional<QList<DeclaredPayer>> SelectDeclaredPayers(
    const CliDatabase& database, const QString& command, const PeriodArguments& options, QTextStream& err);

// The same declarations handed to visit one at a time, none held in memory;
// false, with the same message, when nothing is found.
bool ForEachDeclaredPayer(const CliDatabase& database, const QString& command, const PeriodArguments& options,
    QTextStream& err, const std::function<void(const RowRecord& payer, const RowRecord& declaration)>& visit);

} // namespace itm::cli
