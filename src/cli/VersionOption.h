#pragma once

#include "cli/CliDatabase.h"

#include <QStringList>
#include <optional>

class QTextStream;

namespace itm::cli {

// Takes "--version N" (or "--version=N") out of the arguments of a command
// that works on one declaration. False, with a message, when N is no whole
// number from 1 up, or the option is given twice.
bool TakeVersionOption(
    QStringList& arguments, std::optional<qint64>& version, const QString& command, QTextStream& err);

// Puts version N of the found declaration in its place, as kept in the
// register's history. False, with a message naming the versions there are,
// when there is no such version.
bool UseDeclarationVersion(
    const CliDatabase& database, DeclaredPayer& found, qint64 version, const QString& command, QTextStream& err);

} // namespace itm::cli
