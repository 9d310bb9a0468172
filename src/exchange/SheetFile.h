#pragma once

#include "exchange/Sheet.h"

#include <optional>

namespace itm {
class JobProgress;
}

namespace itm::exchange {

enum class SheetFormat
{
    Xlsx,
    Csv,
};

// The format a file name asks for by its ending (.xlsx or .csv, in any case).
std::optional<SheetFormat> SheetFormatOfPath(const QString& path);

// Writes the table into path in the format its name asks for, through the
// program's atomic writer: the file is replaced whole or not at all. A CSV
// file holds each text as CsvSafeText() makes it. False, with the reason in
// *error, when the name has another ending or the file cannot be written.
// With progress, the rows are counted and a cancel leaves the old file.
bool WriteSheetFile(SheetSource& source, const QString& path, QString* error, JobProgress* progress = nullptr);

// One record of a CSV file: fields separated by commas, quoted only where
// they hold a comma, a semicolon, a double quote or a line break, ending in
// CR LF, in UTF-8.
QByteArray CsvLine(const QStringList& fields);

} // namespace itm::exchange
